#include "core/tournament/results.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

const QStringList &columns()
{
    static const QStringList names { QStringLiteral("Nr"), QStringLiteral("Beginn"), QStringLiteral("Feld"),
        QStringLiteral("Heim"), QStringLiteral("Gast"), QStringLiteral("Tore Heim"),
        QStringLiteral("Tore Gast"), QStringLiteral("Angepfiffen"), QStringLiteral("Abgepfiffen") };
    return names;
}

/// ISO 8601 with the local offset, e.g. "2026-12-08T10:24:05+01:00"; empty when @p moment is invalid.
QString isoLocal(const QDateTime &moment)
{
    if (!moment.isValid())
        return {};
    const QDateTime local = moment.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

} // namespace

QString Results::pathFor(const QString &planPath, const QString &fallbackFolder)
{
    const QFileInfo plan(planPath);
    const QString name = plan.completeBaseName() + QStringLiteral("-ergebnisse.csv");
    const QFileInfo folder(plan.absolutePath());
    return QDir(folder.isWritable() ? folder.absoluteFilePath() : fallbackFolder).filePath(name);
}

QByteArray Results::render(const Plan &plan, const QList<GameResult> &results)
{
    QString text = Csv::line(columns(), plan.delimiter);
    for (qsizetype i = 0; i < plan.games.size(); ++i) {
        const PlannedGame &game = plan.games[i];
        const GameResult &result = results.value(i);
        const bool scored = result.started.isValid();
        text += Csv::line({ game.nr, game.start ? game.start->toString(u"HH:mm") : QString(), game.field,
                              game.home, game.away, scored ? QString::number(result.home) : QString(),
                              scored ? QString::number(result.away) : QString(), isoLocal(result.started),
                              isoLocal(result.ended) },
            plan.delimiter);
    }
    return Csv::encode(text, plan.encoding);
}

QList<GameResult> Results::read(
    const QByteArray &bytes, const Plan &plan, const QString &fileName, QStringList *warnings)
{
    QList<GameResult> results(plan.games.size());
    TextEncoding encoding;
    const QString text = Csv::decode(bytes, &encoding);
    const QList<CsvRecord> records = Csv::read(text, Csv::detectDelimiter(text));
    if (records.isEmpty())
        return results;
    QList<qsizetype> at;
    for (const QString &name : columns())
        at << records.first().cells.indexOf(name);
    const auto missing = std::find(at.cbegin(), at.cend(), -1);
    if (missing != at.cend()) {
        *warnings << QStringLiteral("%1:%2: Spalte „%3“ fehlt, Ergebnisse nicht gelesen")
                         .arg(fileName)
                         .arg(records.first().line)
                         .arg(columns()[missing - at.cbegin()]);
        return results;
    }
    QHash<QString, qsizetype> byNr;
    for (qsizetype i = 0; i < plan.games.size(); ++i)
        byNr.insert(plan.games[i].nr, i);
    for (const CsvRecord &record : records.mid(1)) {
        const auto cell = [&](int column) { return record.cells.value(at[column]).trimmed(); };
        const QDateTime ended = QDateTime::fromString(cell(8), Qt::ISODate);
        if (cell(8).isEmpty())
            continue;
        const qsizetype game = byNr.value(cell(0), -1);
        bool homeOk = false, awayOk = false;
        GameResult result { cell(5).toInt(&homeOk), cell(6).toInt(&awayOk),
            QDateTime::fromString(cell(7), Qt::ISODate), ended };
        QString problem;
        if (game < 0 || plan.games[game].home != cell(3) || plan.games[game].away != cell(4))
            problem = QStringLiteral("Spiel Nr „%1“ steht so nicht im Plan").arg(cell(0));
        else if (!homeOk || !awayOk || result.home < 0 || result.away < 0)
            problem = QStringLiteral("Tore „%1“ : „%2“ sind keine Zahlen").arg(cell(5), cell(6));
        else if (!ended.isValid() || !result.started.isValid())
            problem
                = QStringLiteral("Zeit „%1“ ist keine Zeitangabe").arg(ended.isValid() ? cell(7) : cell(8));
        if (problem.isEmpty())
            results[game] = result;
        else
            *warnings << QStringLiteral("%1:%2: %3, Zeile nicht übernommen")
                             .arg(fileName)
                             .arg(record.line)
                             .arg(problem);
    }
    return results;
}
