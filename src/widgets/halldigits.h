#pragma once

#include <QColor>
#include <QLabel>

/**
 * A time for the hall: "MM:SS" or "H:MM:SS" in digits of equal width, as
 * tall as the label allows; a text too wide for the label is drawn
 * narrower, never lower. The last two digits, the seconds, can be red.
 */
class HallDigits : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(bool secondsRed READ secondsRed WRITE setSecondsRed)

public:
    /// Digits fill this share of the label's height.
    static constexpr double digitShare = 0.9;

    HallDigits(const QColor &color, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(HallDigits)

    bool secondsRed() const { return m_secondsRed; }
    void setSecondsRed(bool red);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
    bool m_secondsRed = false;
};
