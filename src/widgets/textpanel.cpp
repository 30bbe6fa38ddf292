#include "widgets/textpanel.h"

#include "widgets/colors.h"

TextPanel::TextPanel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
{
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Colors::bannerBackground);
    colors.setColor(QPalette::WindowText, Colors::bannerText);
    setPalette(colors);
}
