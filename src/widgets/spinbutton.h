#pragma once

#include <QTimer>
#include <QWidget>

/**
 * A vertical pair of arrows, up over down. It keeps no value of its own:
 * a press on an arrow raises SpinUp() or SpinDown(), and an arrow held
 * down repeats. With the focus, the Up and Down keys do the same.
 */
class SpinButton : public QWidget
{
    Q_OBJECT

public:
    enum class Arrow { None, Up, Down };
    Q_ENUM(Arrow)

    static constexpr int repeatDelay = 400; ///< ms before a held arrow repeats
    static constexpr int repeatInterval = 80; ///< ms between repeats

    explicit SpinButton(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SpinButton)

    /// Which arrow lies at @p pos.
    Arrow arrowAt(const QPoint &pos) const;

Q_SIGNALS:
    void SpinUp();
    void SpinDown();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void fire(bool repeating);
    void release();
    QRect arrowRect(Arrow arrow) const;

    Arrow m_pressed = Arrow::None;
    QTimer m_repeat;
};
