#pragma once

#include <QString>
#include <QStringList>

namespace app {

// What the command line asks of the program.
struct CommandLine
{
    enum class Action {
        Run,     // start the program
        Help,    // print the usage and stop
        Version, // print the version and stop
        Refused, // print 'error' and stop with status 2
    };
    Action action = Action::Run;
    // --database FILE: the price list to open instead of the one beside the program.
    QString database;
    QString error;
};

// Reads the arguments that follow the program's name. The options of Qt itself (-platform offscreen,
// -style fusion, ...) are let through for QApplication, which takes them away before the program runs.
CommandLine parseCommandLine(const QStringList& arguments);

// The text of --help.
QString usage();
// The line of --version.
QString versionLine();

} // namespace app
