#include "Commands.h"

#include <QDir>
#include <QFile>

namespace Commands {

void DeleteNetworkLinkFile(const QString& networkLinkFilePath, Services& services, QWidget* parent)
{
    if (networkLinkFilePath.isEmpty() || !services.OrdinaryFileExists(networkLinkFilePath))
        return;
    // Removed directly: a command shell would expand %NAME% inside the path.
    QFile file(networkLinkFilePath);
    if (!file.remove())
        services.Failure(parent, u"The network link file could not be deleted:\n" %
                                     networkLinkFilePath % u"\n\n" % file.errorString());
}

void cmdNew_Program(Services& services, QWidget* parent, const PlatformProfile& profile)
{
    const QString program = services.ProgramFolder() % profile.secondProgramSuffix;
    const StartResult started = services.StartProgram(program, {});
    if (!started.ok)
        services.Failure(parent, u"A new program window could not be started:\n" % program %
                                     u"\n\n" % started.error);
}

QStringList UserGuideCandidates(const QString& programFolder)
{
    return {
        QDir::cleanPath(programFolder % u"/guide/index.html"),
        QDir::cleanPath(programFolder % u"/../share/orvinel/guide/index.html"),
    };
}

QString FindUserGuide(const QString& programFolder,
                      const std::function<bool(const QString&)>& fileExists)
{
    for (const QString& candidate : UserGuideCandidates(programFolder)) {
        if (fileExists(candidate))
            return candidate;
    }
    return {};
}

StartResult OpenInBrowser(const QUrl& url, const QString& preferredBrowser, Services& services)
{
    QString reasons;
    if (!preferredBrowser.isEmpty()) {
        StartResult started =
            services.StartProgram(preferredBrowser, {url.toString(QUrl::FullyEncoded)});
        if (started.ok)
            return started;
        reasons = preferredBrowser % u": " % started.error % u'\n';
    }
    StartResult opened = services.OpenInDefaultBrowser(url);
    if (opened.ok)
        return opened;
    return {false, reasons % u"The default browser: " % opened.error};
}

namespace {

void OpenUserGuide(const QString& section, Services& services, QWidget* parent,
                   const PlatformProfile& profile)
{
    const QString programFolder = services.ProgramFolder();
    const QString guide = FindUserGuide(programFolder, [&services](const QString& path) {
        return services.OrdinaryFileExists(path);
    });
    if (guide.isEmpty()) {
        services.Failure(parent, u"The user guide could not be found. It was looked for at:\n" %
                                     UserGuideCandidates(programFolder).join(u'\n'));
        return;
    }

    QUrl url = QUrl::fromLocalFile(guide);
    if (!section.isEmpty())
        url.setFragment(section);
    const StartResult opened = OpenInBrowser(url, profile.preferredBrowser, services);
    if (!opened.ok)
        services.Failure(parent, u"The user guide could not be opened in a browser:\n" %
                                     QDir::toNativeSeparators(guide) % u"\n\n" % opened.error);
}

} // namespace

void cmdHelp(Services& services, QWidget* parent, const PlatformProfile& profile)
{
    OpenUserGuide(QString(), services, parent, profile);
}

void lblTarnwell(Services& services, QWidget* parent, const PlatformProfile& profile)
{
    OpenUserGuide(QStringLiteral("about"), services, parent, profile);
}

QString ProgramVersion()
{
    return u"Orvinel " % VersionNumber();
}

QString VersionNumber()
{
    return QStringLiteral(ORVINEL_VERSION);
}

void cmdAbout(Services& services, QWidget* parent)
{
    const QString home = QStringLiteral(ORVINEL_HOMEPAGE);
    services.About(parent, QStringLiteral("About Orvinel"),
                   QStringLiteral("<h3>%1</h3>"
                                  "<p>Pins a legend, a logo or a title card to a place on the "
                                  "Google Earth screen.</p>"
                                  "<p>Free software under the MIT licence.<br>"
                                  "Built with Qt %2, running on Qt %3.</p>"
                                  "<p><a href=\"%4\">%4</a></p>")
                       .arg(ProgramVersion().toHtmlEscaped(), QStringLiteral(QT_VERSION_STR),
                            QString::fromLatin1(qVersion()), home.toHtmlEscaped()));
}

} // namespace Commands
