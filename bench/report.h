#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

/// One line of the result table: our clock against its plain reference.
struct Row
{
    QString measure;
    QString ours;
    QString reference;
    QString target;
    std::optional<bool> met; ///< empty when the measurement did not complete
    QString remark; ///< appended to the result, e.g. a ratio
};

struct Report
{
    QString command;
    QStringList machine;
    double totalSeconds = 0;
    QList<Row> rows;
    QStringList notes;

    /// Aligned plain-text table for the terminal.
    QString text() const;
    /// The whole report as Markdown.
    QString markdown() const;
};

/// "+0.4 ms" or, from one second on, "-49.31 s".
QString formatError(double ms);
QString formatMs(double ms);
QString formatMegabytes(double kb);
