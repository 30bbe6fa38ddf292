#pragma once

#include <QLabel>

/**
 * A label for text that users write, such as a team's name: always plain
 * text, never markup, and cut with "…" where it does not fit, while text()
 * keeps the whole of it.
 */
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ElidedLabel)

    /// Small enough for a layout to give the label less room than its whole text needs.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
