#pragma once

#include <QString>
#include <QStringList>

/// What the command line asks for.
struct CommandLine
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString error; ///< for Error: the one line to print, without the program's name
    bool horn = false; ///< --hupe: sound the horn at the end of the first half and of the game
};

/// Reads the arguments (without the program's name).
CommandLine parseCommandLine(const QStringList &arguments);

/// The text of --help, in German.
QString helpText();
