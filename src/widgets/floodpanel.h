#pragma once

#include <QColor>
#include <QFrame>

/// A real percentage as a bar shows it: nearest whole number (ties to even), clamped to 0..100.
int floodPercentFromReal(double percent);

/**
 * A panel that draws a horizontal bar, the flood, filling from its left
 * edge over its background color. It can hold other widgets (the banner).
 */
class FloodPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(FloodType floodType READ floodType WRITE setFloodType)
    Q_PROPERTY(int floodPercent READ floodPercent WRITE setFloodPercent)
    Q_PROPERTY(QColor floodColor READ floodColor WRITE setFloodColor)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)

public:
    /// How the flood is drawn.
    enum class FloodType { None = 0, FromLeft = 1 };
    Q_ENUM(FloodType)

    explicit FloodPanel(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(FloodPanel)

    FloodType floodType() const { return m_floodType; }
    void setFloodType(FloodType type);

    int floodPercent() const { return m_floodPercent; }
    void setFloodPercent(int percent);
    /// Rounds to the nearest whole percent, an exact half to the even one.
    void setFloodPercent(double percent);

    QColor floodColor() const { return m_floodColor; }
    void setFloodColor(const QColor &color);

    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FloodType m_floodType = FloodType::None;
    int m_floodPercent = 0;
    QColor m_floodColor;
    QColor m_background;
};
