#pragma once

#include <QString>
#include <QStringList>

/// What the command line asks for.
struct CommandLine
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString error; ///< for Error: the one line to print, without the program's name
    bool web = false; ///< --web: serve the read-only web view at webAddress:webPort
    QString webAddress = {};
    quint16 webPort = 0;
};

/// Reads the arguments (without the program's name).
CommandLine parseCommandLine(const QStringList &arguments);

/// The text of --help, in German.
QString helpText();
