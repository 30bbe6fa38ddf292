#include "widgets/facebutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

FaceButton::FaceButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{ }

void FaceButton::setFaceColor(const QColor &color)
{
    if (m_face == color)
        return;
    m_face = color;
    QPalette colors = palette();
    colors.setColor(QPalette::Button, color);
    setPalette(colors);
    update();
    emit faceColorChanged(color);
}

void FaceButton::setFontBold(bool bold)
{
    if (fontBold() == bold)
        return;
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void FaceButton::paintEvent(QPaintEvent *event)
{
    if (!m_face.isValid()) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    // Styles that ignore the palette's button color still get the face.
    const QRect face
        = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(-1, -1, 1, 1);
    painter.fillRect(face, m_face);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
    option.palette.setColor(QPalette::ButtonText, palette().color(QPalette::ButtonText));
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}
