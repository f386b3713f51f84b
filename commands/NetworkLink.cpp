#include "Commands.h"
#include "KmlWriter.h"
#include "PathHelpers.h"

namespace Commands {

QString NetworkLinkPathFor(const QString& outputFilePath, QChar separator)
{
    return Overlay::FolderOfPath(outputFilePath, separator) %
           Overlay::FileBaseName(outputFilePath, separator) % u"_Network_Link.kml";
}

NetworkLinkOutcome cmdCreate_Network_Link(NetworkLinkState& state, const QString& outputFilePath,
                                          CommonDialog& dialog, Services& services, QWidget* parent,
                                          const PlatformProfile& profile)
{
    if (!services.OrdinaryFileExists(state.GoogleEarthPath)) {
        const std::optional<QString> located =
            dialog.Ask(FileDialogMode::Open, QStringLiteral("Locate Google Earth executable file"),
                       profile.locateViewerFilter);
        if (!located)
            return NetworkLinkOutcome::Cancelled;
        state.GoogleEarthPath = *located;
    }

    const QString linkPath = NetworkLinkPathFor(outputFilePath, profile.pathSeparator);
    const WriteResult written = Overlay::SaveNetworkLinkFile(linkPath, outputFilePath);
    if (!written.ok) {
        services.Failure(parent, u"The network link file could not be written:\n" % linkPath %
                                     u"\n\n" % written.error);
        return NetworkLinkOutcome::WriteFailed;
    }
    state.NetworkLinkFilePath = linkPath;

    const QString viewer = state.GoogleEarthPath;
    const StartResult started = services.StartProgram(viewer, {linkPath});
    if (!started.ok) {
        // Forget the viewer so that the next click offers the locate dialog
        // again instead of failing the same way for the rest of the run.
        state.GoogleEarthPath.clear();
        services.Failure(parent, u"The viewer could not be started:\n" % viewer % u"\n\n" %
                                     started.error % u"\n\nThe network link file is written:\n" %
                                     linkPath %
                                     u"\nOpen it in a KML viewer by hand, or click the button "
                                     u"again to choose another viewer.");
    }
    return NetworkLinkOutcome::Done;
}

} // namespace Commands
