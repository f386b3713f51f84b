#pragma once

#include "CommonDialog.h"
#include "KmzArchive.h"
#include "OverlayDocument.h"
#include "OverlaySettings.h"
#include "PlatformProfile.h"
#include "Services.h"

#include <QSize>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

// The window's commands that deal with files and outside programs. None of
// them touches a control: each returns what the window should show, and the
// window applies it. Every failure the user can meet is told through
// Services::Failure with the file or program and the reason; nothing throws.

// ---- What the commands return and keep ----------------------------------

struct NetworkLinkState
{
    // The viewer program (the window starts it at the profile's usual place);
    // replaced when the user locates another one.
    QString GoogleEarthPath;
    // The link file this run wrote last; empty until then. Exit deletes it.
    QString NetworkLinkFilePath;
};

enum class NetworkLinkOutcome {
    Cancelled,   // the locate dialog was cancelled: nothing written or started
    WriteFailed, // the link file could not be written; the user was told
    Done,        // the link file is written (the viewer may still have failed
                 // to start; the user was told). Enable Auto-Refresh.
};

// What the window takes over from an opened overlay file.
struct OverlayOpening
{
    // The file's values; OutputFilePath is the opened file when writing the
    // settings back keeps everything it holds, and empty otherwise.
    OverlaySettings settings;
    // The picture, measured; its path is the link as the file holds it.
    GraphicChoice picture;
    // The folder that a relative picture link is taken from.
    QString pictureFolder;
    // What the file holds beyond the screen overlay, told to the user once
    // the window shows the values; empty when nothing is lost.
    QString notice;
    // The file the overlay is edited inside, when it is written back in place.
    std::shared_ptr<const Overlay::InPlaceKml> inPlace;
};

namespace Commands {

// ---- Picture choice ------------------------------------------------------

// Shows the picture dialog on `dialog`. nullopt when the user cancelled; the
// window then changes nothing.
std::optional<GraphicChoice> cmdOpen_graphic_file(CommonDialog& dialog);

// The picture's width and height in pixels, read from its header only. Only
// files whose extension is exactly "gif", "bmp" or "jpg" are measured, and
// only when their content really is a GIF, BMP or JPEG picture; anything else
// (other extension, missing, empty, damaged or mislabelled file, or a pipe,
// device or folder under a picture's name) gives nullopt.
std::optional<QSize> LoadGraphicDimensions(const QString& path);

// A picture taken as the overlay picture, measured as a chosen one is.
// `path` is kept as given; `fileToRead` is where it stands when `path` is
// relative to another folder (empty: `path` itself).
GraphicChoice MeasureGraphic(const QString& path, const QString& fileToRead = QString());

// ---- Save As -------------------------------------------------------------

// Folder + base name (up to its first dot) + ".kml" (".kmz" for an archive).
QString OutputPathFor(const QString& chosen,
                      QChar separator = PlatformProfile::Current().pathSeparator,
                      bool archive = false);

// Shows the save dialog and asks before replacing an ordinary file. nullopt
// when the user cancelled or answered No. The caller writes the overlay file
// to the returned path and adopts the path only if that write succeeds. An
// overlay edited inside a KMZ is saved as a KMZ.
std::optional<QString> AskOutputFilePath(CommonDialog& dialog, Services& services, QWidget* parent,
                                         bool archive = false);

// True when no ordinary file stands at `path`, or the user answers Yes to
// replacing it; `named`: the question names the file.
bool MayReplace(const QString& path, Services& services, QWidget* parent, bool named = false);

// ---- Sharing as KMZ --------------------------------------------------------

// The archive the export dialog offers: the output file's base name, or
// without an output file the picture's, with ".kmz", in that file's folder.
// Empty when neither names a file on the disk.
QString KmzPathFor(const QString& outputFile, const QString& pictureFile);

// The export dialog, offering `suggested`; ".kmz" is added to a name without
// an extension, and an existing file is replaced only after Yes to a question
// that names it. nullopt when cancelled.
std::optional<QString> AskKmzFilePath(CommonDialog& dialog, Services& services, QWidget* parent,
                                      const QString& suggested);

// Writes `settings` as a KMZ at `kmzPath`, the picture read from
// `pictureFile`. A failure is told with the archive's name and the reason;
// a picture link that is a web address is told to stay outside. True when the
// archive was written.
bool ExportKmz(const QString& kmzPath, const OverlaySettings& settings, const QString& pictureFile,
               Services& services, QWidget* parent);

// ---- Adding the overlay to another KML file --------------------------------

// The dialog for the KML file to add the overlay to; nullopt when cancelled.
std::optional<QString> AskKmlToAddTo(CommonDialog& dialog);

// Puts the overlay for `settings` into the KML file at `path`, after the
// last feature of its Document or top folder, and changes nothing else
// there. A file that cannot be read, is no KML or cannot be written is told
// with its name and the reason; success is told too. True when written.
bool AddOverlayToKml(const QString& path, const OverlaySettings& settings, Services& services,
                     QWidget* parent);

// ---- Opening an overlay file ----------------------------------------------

// The dialog for an overlay file to open; nullopt when the user cancelled.
std::optional<QString> AskOverlayFileToOpen(CommonDialog& dialog);

// What the window takes from `read`, the file at `path` as
// Overlay::ReadAnyOverlayFile read it (off the window's thread); asks before
// it unpacks an archive's picture. A file that cannot be read, or is not an
// overlay file, is told with its name and the reason, and gives nullopt: the
// window then keeps what it has. Writes nothing but an unpacked picture.
std::optional<OverlayOpening> OverlayToOpen(const QString& path, OpenedKmz read, Services& services,
                                            QWidget* parent);

// What the window shows of `read`: the file at `outputFile`, edited in
// place, after a screen overlay was added to it or taken out (`what`, as
// "added", names it in a failure, which is told). Its picture is measured.
std::optional<OverlayOpening> InPlaceOpening(Overlay::KmlInPlaceRead read,
                                             const QString& outputFile, const QString& what,
                                             Services& services, QWidget* parent);

// Whether a dropped file is an overlay file or a picture, by its extension.
bool IsOverlayFileName(const QString& path);
bool IsPictureFileName(const QString& path);

// ---- Network link and viewer ---------------------------------------------

// Folder + base name of the overlay file + "_Network_Link.kml".
QString NetworkLinkPathFor(const QString& outputFilePath,
                           QChar separator = PlatformProfile::Current().pathSeparator);

// Writes the link file beside `outputFilePath` and starts the viewer on it,
// asking for the viewer first when no ordinary file stands at its path.
NetworkLinkOutcome
cmdCreate_Network_Link(NetworkLinkState& state, const QString& outputFilePath, CommonDialog& dialog,
                       Services& services, QWidget* parent,
                       const PlatformProfile& profile = PlatformProfile::Current());

// ---- Exit, new window, Help ----------------------------------------------

// Removes this run's link file when it is an ordinary file. The window closes
// afterwards whatever happened; a failed removal is told first.
void DeleteNetworkLinkFile(const QString& networkLinkFilePath, Services& services, QWidget* parent);

// Starts a second, independent copy of the program.
void cmdNew_Program(Services& services, QWidget* parent,
                    const PlatformProfile& profile = PlatformProfile::Current());

// Where the user guide may stand, in the order they are tried: beside the
// program (build tree, Windows), then the installed share folder.
QStringList UserGuideCandidates(const QString& programFolder);
// The first candidate that exists, or empty.
QString FindUserGuide(const QString& programFolder,
                      const std::function<bool(const QString&)>& fileExists);

// Opens `url` in `preferredBrowser` when it is not empty, falling back to the
// desktop's default browser. The result's error names what was tried.
StartResult OpenInBrowser(const QUrl& url, const QString& preferredBrowser, Services& services);

// Help: the user guide. The credit label: the guide's "About" section.
void cmdHelp(Services& services, QWidget* parent,
             const PlatformProfile& profile = PlatformProfile::Current());
void lblTarnwell(Services& services, QWidget* parent,
                 const PlatformProfile& profile = PlatformProfile::Current());

// The program's name and version, as --version prints it: "Orvinel 0.4.0".
QString ProgramVersion();
// The version alone, "0.4.0", as the window shows it.
QString VersionNumber();
// The About box: version, licence, Qt version and the project's address.
void cmdAbout(Services& services, QWidget* parent);

} // namespace Commands
