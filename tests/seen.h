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

/// What @p window shows on its screen once the paints it asked for are done: not a fresh rendering, so a
/// change that forgot to ask for a repaint shows as the old picture.
inline QImage onScreen(QWidget &window, const QRect &part = {})
{
    window.show();
    QCoreApplication::processEvents();
    const QRect r = part.isNull() ? window.rect() : part;
    const QPixmap grabbed = window.screen()->grabWindow(window.winId(), r.x(), r.y(), r.width(), r.height());
    return grabbed.toImage().convertToFormat(QImage::Format_RGB32);
}

/// Whether @p window looks as the reference picture @p file (a PNG next to the test's source); if not, what
/// differs is said, and the picture seen is left as <file>.seen.png in the build. With
/// VELORAND_WRITE_PICTURES set the picture is written as the new reference instead.
inline bool looksAs(QWidget &window, const QString &file, const char *source, const QRect &part = {})
{
    const QString reference = QFileInfo(QString::fromUtf8(source)).dir().filePath(file);
    const QImage seen = onScreen(window, part);
    if (qEnvironmentVariableIsSet("VELORAND_WRITE_PICTURES"))
        return seen.save(reference) || (qWarning("cannot write %s", qPrintable(reference)), false);
    if (seen == QImage(reference).convertToFormat(QImage::Format_RGB32))
        return true;
    seen.save(file + u".seen.png"_qs);
    qWarning("%s differs from the window seen, left as %s.seen.png", qPrintable(file), qPrintable(file));
    return false;
}
