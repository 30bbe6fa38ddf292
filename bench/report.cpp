#include "report.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

QString resultText(const Row &row)
{
    QString text = !row.met ? QStringLiteral("not measured")
        : *row.met          ? QStringLiteral("met")
                            : QStringLiteral("missed");
    if (!row.remark.isEmpty())
        text += QStringLiteral(" (") + row.remark + u')';
    return text;
}

const std::array<QString, 5> headers { QStringLiteral("Measure"), QStringLiteral("Velorand"),
    QStringLiteral("Plain Qt reference"), QStringLiteral("Target"), QStringLiteral("Result") };

std::array<QString, 5> cells(const Row &row)
{
    return { row.measure, row.ours, row.reference, row.target, resultText(row) };
}

} // namespace

QString formatError(double ms)
{
    if (std::abs(ms) >= 1000.0)
        return QString::asprintf("%+.2f s", ms / 1000.0);
    return QString::asprintf("%+.1f ms", ms);
}

QString formatMs(double ms)
{
    return QString::asprintf("%.0f ms", ms);
}

QString formatMegabytes(double kb)
{
    return QString::asprintf("%.1f MB", kb / 1024.0);
}

QString Report::text() const
{
    std::array<qsizetype, 5> widths {};
    for (std::size_t i = 0; i < headers.size(); ++i)
        widths[i] = headers[i].size();
    for (const Row &row : rows) {
        const auto line = cells(row);
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], line[i].size());
    }
    const auto format = [&widths](const std::array<QString, 5> &line) {
        QString out;
        for (std::size_t i = 0; i < line.size(); ++i)
            out += line[i].leftJustified(widths[i] + 2);
        return out.trimmed() + u'\n';
    };
    QString out = format(headers);
    std::array<QString, 5> rule;
    for (std::size_t i = 0; i < rule.size(); ++i)
        rule[i] = QString(widths[i], u'-');
    out += format(rule);
    for (const Row &row : rows)
        out += format(cells(row));
    return out;
}

QString Report::markdown() const
{
    QString out = QStringLiteral("# Velorand benchmark results\n\n");
    out += QStringLiteral("Produced by `") + command + QStringLiteral("`, run from the repository root ");
    out += QString::asprintf("(took %.0f s in total); the program is built with\n"
                             "`cmake --build <build dir> --target velorand_bench` and found at "
                             "`<build dir>/bench/velorand_bench`.\n\n",
        totalSeconds);
    for (const QString &line : machine)
        out += QStringLiteral("- ") + line + u'\n';
    out += QStringLiteral(
        "\nEach row compares, in the same run, the game clock against a plain Qt reference: "
        "a `QTimer` of the default (coarse) type counting 1000 ms ticks for (a) to (c), "
        "a bare 425x393 `QWidget` for (d), and for (e) that bare window with a label a plain `QTimer` "
        "updates every second. Errors are counted game time minus real "
        "time on `std::chrono::steady_clock`; negative means the clock fell behind.\n\n");
    const auto line = [](const std::array<QString, 5> &cells) {
        QString text = QStringLiteral("|");
        for (const QString &cell : cells)
            text += u' ' + cell + QStringLiteral(" |");
        return text + u'\n';
    };
    out += line(headers);
    out += QStringLiteral("|---|---:|---:|---|---|\n");
    for (const Row &row : rows)
        out += line(cells(row));
    if (!notes.isEmpty()) {
        out += QStringLiteral("\nNotes:\n\n");
        for (const QString &note : notes)
            out += QStringLiteral("- ") + note + u'\n';
    }
    return out;
}
