#include "textpanel.h"

#include "shell/look.h"

TextPanel::TextPanel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Look::bannerBackground);
    colours.setColor(QPalette::WindowText, Look::bannerText);
    setPalette(colours);
}
