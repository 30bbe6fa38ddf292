#pragma once

#include <QString>
#include <QStringList>

/// What the command line asks for.
struct CommandLine
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString error; ///< for Error: the one line to print, without the program's name
    /// The hall view: -1 none, 0 on the first screen without the operator window, N on screen N.
    int hallScreen = -1;
    bool horn = false; ///< --hupe: sound the horn at the end of the first half and of the game
    bool web = false; ///< --web: serve the read-only web view at webAddress:webPort
    QString webAddress = {};
    quint16 webPort = 0;
    bool remote = false; ///< --fernbedienung: paired devices may send commands through the web view
    bool tournament = false; ///< --turnier: the day's games from a plan
    QString planPath = {}; ///< the plan; empty: ask for it
};

/// Reads the arguments (without the program's name).
CommandLine parseCommandLine(const QStringList &arguments);

/// The text of --help, in German; @p screens are the lines that list the screens, if any are known.
QString helpText(const QStringList &screens = {});
