#include "textpanel.h"

TextPanel::TextPanel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(255, 0, 0));
    colours.setColor(QPalette::WindowText, QColor(255, 255, 192));
    setPalette(colours);
}
