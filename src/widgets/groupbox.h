#pragma once

#include <QGroupBox>

/// A framed group whose caption also reads as the property "text", like every other caption.
/// Its frame is the flat etched line of the window's other lines, with the caption set into it.
class GroupBox : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString text READ title CONSTANT)

public:
    using QGroupBox::QGroupBox;
    Q_DISABLE_COPY_MOVE(GroupBox)

protected:
    void paintEvent(QPaintEvent *event) override;
};
