#include "PlatformProfile.h"

#if defined(Q_OS_WIN)
#include <qt_windows.h>

#include <cstdio>
#endif

PlatformProfile PlatformProfile::Windows()
{
    return {
        .pathSeparator = QLatin1Char('\\'),
        .nativeDialogSeparators = true,
        .defaultViewerPath =
            QStringLiteral("C:\\Program Files\\Google\\Google Earth\\GoogleEarth.exe"),
        .locateViewerFilter = QStringLiteral("Google Earth executable|GoogleEarth.exe"),
        .secondProgramSuffix = QStringLiteral("/Orvinel.exe"),
        .replaceFailsWhileOpen = true,
        .preferredBrowser = QStringLiteral("C:\\Program Files\\Internet Explorer\\iexplore.exe"),
    };
}

PlatformProfile PlatformProfile::Linux()
{
    return {
        .pathSeparator = QLatin1Char('/'),
        .nativeDialogSeparators = false,
        .defaultViewerPath = QStringLiteral("/opt/google/earth/pro/google-earth-pro"),
        // Any KML viewer may be chosen, whatever its program file is called.
        .locateViewerFilter = QStringLiteral("All files|*"),
        .secondProgramSuffix = QStringLiteral("/orvinel"),
        .replaceFailsWhileOpen = false,
        .preferredBrowser = QString(),
    };
}

PlatformProfile PlatformProfile::MacOS()
{
    PlatformProfile profile = Linux();
    profile.defaultViewerPath =
        QStringLiteral("/Applications/Google Earth Pro.app/Contents/MacOS/Google Earth");
    return profile;
}

const PlatformProfile& PlatformProfile::Current()
{
#if defined(Q_OS_WIN)
    static const PlatformProfile profile = Windows();
#elif defined(Q_OS_MACOS)
    static const PlatformProfile profile = MacOS();
#else
    static const PlatformProfile profile = Linux();
#endif
    return profile;
}

void UseStartingConsole()
{
#if defined(Q_OS_WIN)
    // A redirected stream (a pipe, a file) already has its handle and is kept.
    const auto missing = [](DWORD stream) {
        const HANDLE handle = GetStdHandle(stream);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool noOutput = missing(STD_OUTPUT_HANDLE);
    const bool noError = missing(STD_ERROR_HANDLE);
    if ((!noOutput && !noError) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    // Should a stream not reopen, its text goes nowhere, as it did before.
    if (noOutput)
        static_cast<void>(std::freopen("CONOUT$", "w", stdout));
    if (noError)
        static_cast<void>(std::freopen("CONOUT$", "w", stderr));
#endif
}
