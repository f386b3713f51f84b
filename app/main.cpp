#include "CommandLine.h"
#include "PlatformProfile.h"
#include "QtServices.h"
#include "StartUp.h"
#include "WindowIcon.h"
#include "frmOrvinel.h"

#include <QApplication>

#include <cstdio>

namespace {

// Prints what the command line asked for, or its mistake; the exit code.
int Told(const CommandLine& commandLine)
{
    UseStartingConsole();
    const bool mistake = commandLine.action == CommandLine::Action::Error;
    std::fputs(commandLine.text.toLocal8Bit().constData(), mistake ? stderr : stdout);
    return mistake ? 2 : 0;
}

} // namespace

int main(int argc, char* argv[])
{
    PrepareProcess();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // --help and --version answer before any window system is asked for.
    if (const CommandLine early = ParseCommandLine(arguments);
        early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version)
        return Told(early);

    QApplication app(argc, argv);
    const CommandLine commandLine = ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.action != CommandLine::Action::Run)
        return Told(commandLine);
    QApplication::setWindowIcon(orvinelWindowIcon());
    QApplication::setApplicationName(QStringLiteral("Orvinel"));
    // No application display name: on X11 Qt would append it to the window
    // caption ("Overlay Graphic: logo.png — Orvinel"), and the caption is the
    // window's own text. Message boxes name "Orvinel" themselves.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.orvinel.Orvinel"));
    QtServices services;
    frmOrvinel window(services);
    StartWindow(window, commandLine);
    return QApplication::exec();
}
