#include "core/tournament/plan.h"

#include "core/entry/limits.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <array>

namespace {

enum class Column { Nr, Beginn, Feld, Heim, Gast, Spielzeit };
constexpr std::size_t columnCount = 6;

// The names a column goes by, in any case; the German one first, as the messages name it.
constexpr std::array<std::array<QStringView, 4>, columnCount> columnNames = { {
    { u"Nr", u"No", u"Spiel" },
    { u"Beginn", u"Start", u"Uhrzeit" },
    { u"Feld", u"Field" },
    { u"Heim", u"Home", u"Team 1", u"Mannschaft 1" },
    { u"Gast", u"Away", u"Team 2", u"Mannschaft 2" },
    { u"Spielzeit", u"Duration" },
} };

constexpr int longestGame = Limit::hours * 3600 + Limit::minutes * 60 + Limit::seconds;

std::optional<Column> columnNamed(QStringView name)
{
    for (std::size_t column = 0; column < columnCount; ++column) {
        for (const QStringView known : columnNames[column]) {
            if (!known.isEmpty() && known.compare(name, Qt::CaseInsensitive) == 0)
                return Column(column);
        }
    }
    return std::nullopt;
}

QString columnName(Column column)
{
    return columnNames[std::size_t(column)][0].toString();
}

// ASCII digits as a number; one too large to hold stops at a bound still far beyond any game.
std::optional<int> number(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), 100'000);
    }
    return value;
}

std::optional<QTime> parseStart(QStringView text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 1 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    const std::optional<int> hours = number(text.first(colon)), minutes = number(text.sliced(colon + 1));
    if (!hours || !minutes || *hours > 23 || *minutes > 59)
        return std::nullopt;
    return QTime(*hours, *minutes);
}

// A cell as a message quotes it: on one line, and cut short when it is long.
QString shown(QString cell)
{
    constexpr qsizetype longest = 40;
    if (cell.size() > longest)
        cell = cell.first(cell[longest - 1].isHighSurrogate() ? longest - 1 : longest) + u'…';
    for (QChar &c : cell) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            c = u' ';
    }
    return cell;
}

class ErrorLines
{
public:
    ErrorLines(QStringList &lines, const QString &fileName)
        : m_lines(lines)
        , m_fileName(fileName)
    { }

    void add(int line, const QString &what)
    {
        if (!full())
            m_lines.append(u"%1:%2: %3"_qs.arg(m_fileName, QString::number(line), what));
    }
    bool full() const { return m_lines.size() >= Plan::maxErrors; }
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    QStringList &m_lines;
    const QString &m_fileName;
};

} // namespace

std::optional<int> parseGameTime(QStringView text)
{
    const QList<QStringView> parts = text.split(u':');
    if (parts.size() > 3)
        return std::nullopt;
    int seconds = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<int> value = number(parts[i]);
        if (!value || (i > 0 && (parts[i].size() != 2 || *value > 59)))
            return std::nullopt;
        seconds = seconds * 60 + *value;
    }
    return parts.size() == 1 ? seconds * 60 : seconds;
}

PlanReading readPlan(const QByteArray &bytes, const QString &fileName)
{
    PlanReading reading;
    Plan &plan = reading.plan;
    ErrorLines errors(reading.errors, fileName);
    plan.hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    const QString text = Csv::decode(bytes, &plan.encoding);
    plan.delimiter = Csv::detectDelimiter(text);
    int openQuoteLine = 0;
    const QList<CsvRecord> records = Csv::read(text, plan.delimiter, &openQuoteLine);

    std::array<qsizetype, columnCount> at;
    at.fill(-1);
    if (!records.isEmpty()) {
        const CsvRecord &header = records.first();
        for (qsizetype i = 0; i < header.cells.size(); ++i) {
            const std::optional<Column> column = columnNamed(header.cells[i].trimmed());
            if (column && at[std::size_t(*column)] < 0)
                at[std::size_t(*column)] = i;
        }
        for (const Column required : { Column::Nr, Column::Heim, Column::Gast, Column::Spielzeit }) {
            if (at[std::size_t(required)] < 0)
                errors.add(header.line, u"Spalte „%1“ fehlt"_qs.arg(columnName(required)));
        }
    }
    if (records.size() < 2 && errors.isEmpty())
        errors.add(1, u"keine Spiele"_qs);
    // Rows are checked only below a header that names every column they need.
    const qsizetype rows = errors.isEmpty() ? records.size() : 0;

    QHash<QString, int> nrLines;
    for (qsizetype r = 1; r < rows && !errors.full(); ++r) {
        const CsvRecord &row = records[r];
        if (r > Plan::maxGames) {
            errors.add(row.line, u"mehr als %1 Spiele"_qs.arg(Plan::maxGames));
            return reading;
        }
        const auto cell = [&](Column column) {
            const qsizetype i = at[std::size_t(column)];
            return i >= 0 && i < row.cells.size() ? row.cells[i].trimmed() : QString();
        };
        QStringList problems;
        PlannedGame game;
        game.line = row.line;
        game.nr = cell(Column::Nr);
        if (game.nr.isEmpty())
            problems.append(u"Nr ist leer"_qs);
        else if (const auto first = nrLines.constFind(game.nr); first != nrLines.cend())
            problems.append(
                u"Nr „%1“ gibt es schon (Zeile %2)"_qs.arg(shown(game.nr), QString::number(*first)));
        else
            nrLines.insert(game.nr, row.line);
        if (const QString start = cell(Column::Beginn); !start.isEmpty()) {
            game.start = parseStart(start);
            if (!game.start)
                problems.append(u"Beginn „%1“ ist keine Uhrzeit (HH:MM)"_qs.arg(shown(start)));
        }
        game.field = cell(Column::Feld);
        game.home = cell(Column::Heim);
        game.away = cell(Column::Gast);
        for (const Column column : { Column::Heim, Column::Gast }) {
            if (cell(column).isEmpty())
                problems.append(u"%1 ist leer"_qs.arg(columnName(column)));
        }
        const QString time = cell(Column::Spielzeit);
        const std::optional<int> seconds = parseGameTime(time);
        if (time.isEmpty())
            problems.append(u"Spielzeit ist leer"_qs);
        else if (!seconds)
            problems.append(u"Spielzeit „%1“ ist keine Zeit (MM:SS)"_qs.arg(shown(time)));
        else if (*seconds == 0)
            problems.append(u"Spielzeit „%1“ ist 0"_qs.arg(shown(time)));
        else if (*seconds > longestGame)
            problems.append(u"Spielzeit „%1“ ist länger als 24:59:59"_qs.arg(shown(time)));
        game.seconds = seconds.value_or(0);

        for (const QString &problem : std::as_const(problems))
            errors.add(row.line, problem);
        if (problems.isEmpty())
            plan.games.append(game);
    }
    if (openQuoteLine > 0)
        errors.add(openQuoteLine, u"Anführungszeichen nicht geschlossen"_qs);
    return reading;
}

PlanReading readPlanFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    PlanReading reading;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reading.errors.append(u"%1: nicht lesbar (%2)"_qs.arg(name, file.errorString()));
        return reading;
    }
    const auto tooLarge = [&] {
        reading.errors.append(u"%1: größer als 1 MiB"_qs.arg(name));
        return reading;
    };
    // The size first, so that a huge file is not read at all; then a byte beyond the limit, for a file that
    // has grown since.
    if (file.size() > Plan::maxBytes)
        return tooLarge();
    const QByteArray bytes = file.read(Plan::maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        reading.errors.append(u"%1: nicht lesbar (%2)"_qs.arg(name, file.errorString()));
        return reading;
    }
    if (bytes.size() > Plan::maxBytes)
        return tooLarge();
    return readPlan(bytes, name);
}
