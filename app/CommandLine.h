#pragma once

#include <QString>
#include <QStringList>

class frmOrvinel;

// `orvinel [FILE]`, `--help`, `--version`.
struct CommandLine
{
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The overlay file to open once the window shows; empty: none.
    QString file;
    // What --help, --version or a mistake prints.
    QString text;
};

// Reads the program's arguments, the program name first. Needs no
// application object, so --help and --version work without a display; Qt's
// own options (-platform, -style) are known only once the application has
// taken them out, so read the arguments again then.
CommandLine ParseCommandLine(const QStringList& arguments);

// Loads and shows the window, then opens the command line's file in it.
void StartWindow(frmOrvinel& window, const CommandLine& commandLine);
