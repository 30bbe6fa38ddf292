#include "app/commandline.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

struct Option
{
    QStringList names;
    QString description;
    QString valueName; ///< for an option with a value
};

/// The option for the hall view; its number may be left out.
const QString hall = QStringLiteral("zuschauer");
const QString hallAlias = QStringLiteral("audience");
/// What the bare option stands for: the first screen without the operator window.
const QString anyScreen = QStringLiteral("auto");
const QString tournament = QStringLiteral("turnier");
const QString tournamentAlias = QStringLiteral("tournament");

const QList<Option> &options()
{
    static const QList<Option> all {
        { { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Zeigt diese Hilfe und endet."),
            {} },
        { { QStringLiteral("v"), QStringLiteral("version") },
            QStringLiteral("Zeigt die Versionsnummer und endet."), {} },
        { { hall, hallAlias },
            QStringLiteral("Zeigt die Spielzeit groß für die Halle auf Bildschirm N,\n"
                           "ohne N auf dem ersten Bildschirm ohne das Uhrfenster\n"
                           "(mit nur einem Bildschirm als Fenster)."),
            QStringLiteral("N") },
        { { QStringLiteral("hupe"), QStringLiteral("horn") },
            QStringLiteral("Hupt am Ende der 1. Halbzeit und am Spielende (über die Tonausgabe)."), {} },
        { { QStringLiteral("web") },
            QStringLiteral("Zeigt die Uhr im Browser, nur lesend (ohne Wert: 127.0.0.1:8080;\n"
                           "0.0.0.0:8080 oder [::]:8080 für das ganze Netz, IPv4 und IPv6)."),
            QStringLiteral("[ADRESSE:]PORT") },
        { { QStringLiteral("fernbedienung"), QStringLiteral("remote") },
            QStringLiteral("Erlaubt Befehle von gekoppelten Telefonen über die Webansicht\n"
                           "(braucht --web; koppeln im Kontextmenü der Uhr)."),
            {} },
        { { tournament, tournamentAlias },
            QStringLiteral("Turniermodus: die Spiele aus dem Spielplan PLAN (CSV, auch\n"
                           "„--turnier PLAN“), die Ergebnisse in PLAN-ergebnisse.csv daneben;\n"
                           "ohne PLAN per Dateiauswahl."),
            QStringLiteral("PLAN") },
    };
    return all;
}

/// Where the descriptions start in --help, after two spaces.
constexpr int descriptionColumn = 32;

QString optionSynopsis(const Option &option)
{
    QStringList forms;
    const QString value
        = option.valueName.isEmpty() ? QString() : QStringLiteral("[=%1]").arg(option.valueName);
    for (const QString &name : option.names)
        forms << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name + value;
    return forms.join(QStringLiteral(", "));
}

/// --web's value, "PORT" or "ADDRESS:PORT" (an IPv6 address in brackets) into @p commandLine; false if the
/// port is no port.
bool readWebValue(const QString &value, CommandLine &commandLine)
{
    const qsizetype colon = value.lastIndexOf(u':');
    bool isNumber = false;
    const uint port = value.mid(colon + 1).toUInt(&isNumber);
    commandLine.web = true;
    QString address = colon < 0 ? QStringLiteral("127.0.0.1") : value.left(colon);
    if (address.startsWith(u'[') && address.endsWith(u']'))
        address = address.mid(1, address.size() - 2);
    commandLine.webAddress = address;
    commandLine.webPort = quint16(port);
    return isNumber && port >= 1 && port <= 65535;
}

/// What went wrong in the parser's own checks, in German like every other message of the command line.
QString parseError(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString &name = unknown.first();
        return QStringLiteral("unbekannte Option „%1%2“")
            .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    }
    // The parser names the option in quotes: "Unexpected value after '--hupe'."
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    const QString error = parser.errorText();
    const QString option = quoted.match(error).captured(1);
    if (error.startsWith(QLatin1String("Unexpected value")))
        return QStringLiteral("„%1“ nimmt keinen Wert").arg(option);
    return QStringLiteral("ungültige Befehlszeile");
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    for (const Option &option : options())
        parser.addOption(QCommandLineOption(option.names, option.description, option.valueName));

    // The parser knows no optional values: a bare option gets the value that stands for "any screen"
    // or the default address.
    // The plan may also follow as an argument of its own; without one, the plan is asked for.
    QStringList given { QStringLiteral("velorand") };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const bool bare
            = argument == QStringLiteral("--") + hall || argument == QStringLiteral("--") + hallAlias;
        const bool plan = argument == QStringLiteral("--") + tournament
            || argument == QStringLiteral("--") + tournamentAlias;
        const bool planFollows = plan && i + 1 < arguments.size() && !arguments[i + 1].startsWith(u'-');
        given << (bare                                ? argument + u'=' + anyScreen
                : argument == QStringLiteral("--web") ? QStringLiteral("--web=127.0.0.1:8080")
                : plan ? argument + u'=' + (planFollows ? arguments[++i] : QString())
                       : argument);
    }
    if (!parser.parse(given))
        return { CommandLine::Action::Error, parseError(parser) };
    if (!parser.positionalArguments().isEmpty())
        return { CommandLine::Action::Error,
            QStringLiteral("unerwartetes Argument „%1“").arg(parser.positionalArguments().first()) };
    if (parser.isSet(QStringLiteral("help")))
        return { CommandLine::Action::Help, {} };
    if (parser.isSet(QStringLiteral("version")))
        return { CommandLine::Action::Version, {} };
    CommandLine run;
    if (parser.isSet(hall)) {
        const QString number = parser.value(hall);
        bool ok = number == anyScreen;
        run.hallScreen = ok ? 0 : number.toInt(&ok);
        if (!ok || (number != anyScreen && run.hallScreen < 1))
            return { CommandLine::Action::Error,
                QStringLiteral("ungültige Bildschirmnummer „%1“").arg(number) };
    }
    run.horn = parser.isSet(QStringLiteral("hupe"));
    const QString web = parser.value(QStringLiteral("web"));
    if (parser.isSet(QStringLiteral("web")) && !readWebValue(web, run))
        return { CommandLine::Action::Error, QStringLiteral("ungültiger Port in „--web=%1“").arg(web) };
    run.remote = parser.isSet(QStringLiteral("fernbedienung"));
    if (run.remote && !run.web)
        return { CommandLine::Action::Error, QStringLiteral("„--fernbedienung“ braucht „--web“") };
    run.tournament = parser.isSet(tournament);
    run.planPath = parser.value(tournament);
    return run;
}

QString helpText(const QStringList &screens)
{
    QString text
        = QStringLiteral("Aufruf: velorand [Optionen]\n\n"
                         "Spieluhr für Sportturniere: zählt eine Spielzeit in einem kleinen Fenster\n"
                         "herunter, das über allen anderen bleibt.\n\n"
                         "Optionen:\n");
    const QString indent = QStringLiteral("\n") + QString(descriptionColumn + 4, u' ');
    for (const Option &option : options()) {
        // A synopsis too long for its column puts the description under it.
        const QString synopsis = optionSynopsis(option);
        text += QStringLiteral("  %1%2%3\n")
                    .arg(synopsis, -descriptionColumn)
                    .arg(synopsis.size() > descriptionColumn ? indent : QStringLiteral("  "))
                    .arg(QString(option.description).replace(u'\n', indent));
    }
    if (!screens.isEmpty())
        text += QStringLiteral("\nBildschirme:\n") + screens.join(u'\n') + u'\n';
    return text;
}
