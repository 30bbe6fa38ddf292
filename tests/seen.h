// What a window shows of the game, read off its elements: the remaining and the elapsed time as the
// hall shows them ("M:SS", hours only when there are any), the red seconds, and per bar its percent,
// color and the banner over it ("-" when none is shown). The operator window and the hall view
// are read alike, so that what each shows can be compared with the other and with the web view.
#pragma once

#include "widgets/floodpanel.h"

#include <QtWidgets>

/// Types @p fields ("hours minutes seconds") into the entry fields of an operator @p window.
inline void enterFields(const QWidget &window, const QString &fields)
{
    for (int i = 0; i < 3; ++i)
        window.findChild<QLineEdit *>(u"txt"_qs + QStringList { u"Std"_qs, u"Min"_qs, u"Sek"_qs }[i])
            ->setText(fields.section(u' ', i, i));
}

/// The box around the pixels of @p widget, in @p image of its window, that @p picked picks; empty if none.
template <typename Pick> QRect inkOf(const QImage &image, const QWidget *widget, Pick picked)
{
    const QPoint at = widget->mapTo(widget->window(), QPoint());
    QRect box;
    for (int y = 0; y < widget->height(); ++y)
        for (int x = 0; x < widget->width(); ++x)
            box |= picked(image.pixelColor(at + QPoint(x, y))) ? QRect(x, y, 1, 1) : QRect();
    return box;
}

inline QStringList seenOn(const QWidget &window, bool hall)
{
    const auto text
        = [&](const char *name) { return window.findChild<QLabel *>(QLatin1String(name))->text(); };
    const auto time = [&](const char *h, const char *m, const char *s) {
        return (text(h).toInt() ? QString::number(text(h).toInt()) + u':' : QString())
            + text(m).rightJustified(2, u'0') + u':' + text(s).rightJustified(2, u'0');
    };
    const auto *seconds = window.findChild<QLabel *>(QLatin1String(hall ? "lblZuschauerRest" : "lblSek"));
    QStringList seen { hall ? seconds->text() : time("lblStd", "lblMin", "lblSek"),
        hall ? text("lblZuschauerAbgelaufen") : time("lblStdAb", "lblMinAb", "lblSekAb"),
        QVariant(hall ? seconds->property("secondsRed").toBool()
                      : seconds->palette().color(QPalette::WindowText) == QColor(255, 0, 0))
            .toString() };
    for (const char *name : { "Halbzeit1", "Halbzeit2", "Zeit" }) {
        const QString named = QLatin1String(hall ? "pnlZuschauer" : "pnl") + QLatin1String(name);
        const auto *bar = window.findChild<FloodPanel *>(named);
        const auto *banner = bar->findChild<QLabel *>(named + u"Text"_qs);
        seen << QString::number(bar->floodPercent()) << bar->floodColor().name()
             << (banner->isVisibleTo(bar) ? banner->text() : u"-"_qs);
    }
    return seen;
}
