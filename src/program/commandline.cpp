#include "commandline.h"

#include <QCommandLineParser>

namespace {

struct Option
{
    QStringList names;
    QString description;
};

const QList<Option> &options()
{
    static const QList<Option> all {
        { { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Zeigt diese Hilfe und endet.") },
        { { QStringLiteral("v"), QStringLiteral("version") },
            QStringLiteral("Zeigt die Versionsnummer und endet.") },
        { { QStringLiteral("hupe"), QStringLiteral("horn") },
            QStringLiteral("Hupt am Ende der 1. Halbzeit und am Spielende (über die Tonausgabe).") },
    };
    return all;
}

QString optionSynopsis(const Option &option)
{
    QStringList forms;
    for (const QString &name : option.names)
        forms << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    return forms.join(QStringLiteral(", "));
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    for (const Option &option : options())
        parser.addOption(QCommandLineOption(option.names, option.description));
    parser.addPositionalArgument(QStringLiteral("none"), {});

    if (!parser.parse(QStringList { QStringLiteral("velorand") } + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString name = unknown.isEmpty() ? QString() : unknown.first();
        const QString shown = name.size() == 1 ? QStringLiteral("-") + name : QStringLiteral("--") + name;
        return { CommandLine::Action::Error,
            unknown.isEmpty() ? parser.errorText() : QStringLiteral("unbekannte Option „%1“").arg(shown) };
    }
    if (!parser.positionalArguments().isEmpty())
        return { CommandLine::Action::Error,
            QStringLiteral("unerwartetes Argument „%1“").arg(parser.positionalArguments().first()) };
    if (parser.isSet(QStringLiteral("help")))
        return { CommandLine::Action::Help, {} };
    if (parser.isSet(QStringLiteral("version")))
        return { CommandLine::Action::Version, {} };
    CommandLine run;
    run.horn = parser.isSet(QStringLiteral("hupe"));
    return run;
}

QString helpText()
{
    QString text = QStringLiteral("Aufruf: velorand [Optionen]\n\n"
                                  "Spieluhr für Sportturniere: zählt eine Spielzeit in einem kleinen Fenster\n"
                                  "herunter, das über allen anderen bleibt.\n\n"
                                  "Optionen:\n");
    for (const Option &option : options())
        text += QStringLiteral("  %1  %2\n").arg(optionSynopsis(option), -24).arg(option.description);
    return text;
}
