// libFuzzer target for the tournament plan reader: any bytes are read as a plan file. It must return
// without undefined behaviour, and what it gives must hold for every input: at most ten error lines, each on
// one line; a plan without errors has 1 to 1000 games, each with a number of its own, both teams and a game
// time the clock can run; every record read, written and read again gives the same cells.
#include "core/tournament/plan.h"

#include <QHash>
#include <cstdlib>
#include <utility>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto [plan, errors] = readPlan(bytes, u"f.csv"_qs);
    bool holds = errors.size() <= Plan::maxErrors && !errors.join(QString()).contains(u'\n')
        && plan.games.size() <= Plan::maxGames && (!errors.isEmpty() || !plan.games.isEmpty());
    QHash<QString, bool> seen; // a game's number makes its entry true
    for (const PlannedGame &g : plan.games)
        holds = holds && g.seconds >= 1 && g.seconds <= 89999 && !g.nr.isEmpty() && !g.home.isEmpty()
            && !g.away.isEmpty() && !std::exchange(seen[g.nr], true);
    const QString text = Csv::decode(bytes, nullptr);
    const QChar delimiter = Csv::detectDelimiter(text);
    for (const CsvRecord &record : Csv::read(text, delimiter))
        holds = holds
            && Csv::read(Csv::line(record.cells, delimiter), delimiter).value(0).cells == record.cells;
    if (!holds)
        std::abort();
    return 0;
}
