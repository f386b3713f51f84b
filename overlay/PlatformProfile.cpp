#include "PlatformProfile.h"

PlatformProfile PlatformProfile::Windows()
{
    return {
        .pathSeparator = QLatin1Char('\\'),
        .nativeDialogSeparators = true,
        .defaultViewerPath =
            QStringLiteral("C:\\Program Files\\Google\\Google Earth\\GoogleEarth.exe"),
        .locateViewerFilter = QStringLiteral("Google Earth executable|GoogleEarth.exe"),
        .secondProgramSuffix = QStringLiteral("/Orvinel.exe"),
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
