#pragma once

#include <QChar>
#include <QString>

// The few values that differ between platforms. Exactly one profile is
// compiled in as Current(); every profile stays callable so that all of them
// are tested on every platform.
struct PlatformProfile
{
    // Separator that FolderOfPath and FileBaseName look for.
    QChar pathSeparator;
    // Whether paths from the file dialog are turned into native separators.
    bool nativeDialogSeparators;
    // Where the KML viewer is expected before the user locates it.
    QString defaultViewerPath;
    // Filter of the dialog that locates the viewer, as "description|patterns".
    QString locateViewerFilter;
    // Appended to the program's folder to start a second copy.
    QString secondProgramSuffix;
    // Whether replacing a file fails while another program has it open, so a
    // failed replace is worth trying again for a while.
    bool replaceFailsWhileOpen;
    // Browser tried first for web pages; empty means the desktop's default
    // browser only. When it cannot be started the default browser is used.
    QString preferredBrowser;

    static PlatformProfile Windows();
    static PlatformProfile Linux();
    static PlatformProfile MacOS();
    static const PlatformProfile& Current();
};

// Lets --help, --version and a command-line mistake reach the console the
// program was started from. A Windows program with a window has no console of
// its own, so without this its standard output goes nowhere unless
// redirected; elsewhere it does nothing.
void UseStartingConsole();
