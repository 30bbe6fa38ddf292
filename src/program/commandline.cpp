#include "commandline.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

struct Option
{
    QStringList names;
    QString description;
    QString valueName = {}; ///< for an option that takes a value
};

const QList<Option> &options()
{
    static const QList<Option> all {
        { { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Zeigt diese Hilfe und endet.") },
        { { QStringLiteral("v"), QStringLiteral("version") },
            QStringLiteral("Zeigt die Versionsnummer und endet.") },
        { { QStringLiteral("web") },
            QStringLiteral("Zeigt die Uhr im Browser, nur lesend (ohne Wert: 127.0.0.1:8080; "
                           "0.0.0.0:8080 für das ganze Netz)."),
            QStringLiteral("[ADRESSE:]PORT") },
    };
    return all;
}

QString optionSynopsis(const Option &option)
{
    QStringList forms;
    for (const QString &name : option.names)
        forms << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    const QString value
        = option.valueName.isEmpty() ? QString() : QStringLiteral("[=%1]").arg(option.valueName);
    return forms.join(QStringLiteral(", ")) + value;
}

/// --web's value, "PORT" or "ADDRESS:PORT", into @p commandLine; false if the port is no port.
bool readWebValue(const QString &value, CommandLine &commandLine)
{
    const qsizetype colon = value.lastIndexOf(u':');
    bool isNumber = false;
    const uint port = value.mid(colon + 1).toUInt(&isNumber);
    commandLine.web = true;
    commandLine.webAddress = colon < 0 ? QStringLiteral("127.0.0.1") : value.left(colon);
    commandLine.webPort = quint16(port);
    return isNumber && port >= 1 && port <= 65535;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    for (const Option &option : options())
        parser.addOption(QCommandLineOption(option.names, option.description, option.valueName));
    parser.addPositionalArgument(QStringLiteral("none"), {});

    // --web alone takes the default; QCommandLineParser knows no optional values.
    QStringList given = arguments;
    given.replaceInStrings(
        QRegularExpression(QStringLiteral("^--web$")), QStringLiteral("--web=127.0.0.1:8080"));
    if (!parser.parse(QStringList { QStringLiteral("velorand") } + given)) {
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
    const QString web = parser.value(QStringLiteral("web"));
    if (parser.isSet(QStringLiteral("web")) && !readWebValue(web, run))
        return { CommandLine::Action::Error, QStringLiteral("ungültiger Port in „--web=%1“").arg(web) };
    return run;
}

QString helpText()
{
    QString text
        = QStringLiteral("Aufruf: velorand [Optionen]\n\n"
                         "Spieluhr für Sportturniere: zählt eine Spielzeit in einem kleinen Fenster\n"
                         "herunter, das über allen anderen bleibt.\n\n"
                         "Optionen:\n");
    for (const Option &option : options())
        text += QStringLiteral("  %1  %2\n").arg(optionSynopsis(option), -24).arg(option.description);
    return text;
}
