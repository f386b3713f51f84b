#include "KmzArchive.h"

#include "KmlWriter.h"
#include "KmzEntries.h"
#include "PathHelpers.h"
#include "PictureFile.h"

#include <QFileInfo>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#else
#include <io.h>
#endif

namespace Overlay {

namespace Kmz {

QString SizeInWords(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 0, QLocale::DataSizeTraditionalFormat);
}

QString ZipProblem(zip_error_t* error)
{
    const QString damaged = QStringLiteral("it is a damaged KMZ archive: %1");
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_EXISTS:
        return damaged.arg(QStringLiteral("two of its entries have the same name"));
    case ZIP_ER_INCONS:
        return damaged.arg(QStringLiteral("its table of contents does not match its entries"));
    case ZIP_ER_CRC:
        return damaged.arg(QStringLiteral("an entry's contents do not match its checksum"));
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA:
        return damaged.arg(QStringLiteral("an entry's compressed data is broken"));
    case ZIP_ER_EOF:
        return damaged.arg(QStringLiteral("it ends too early"));
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return QStringLiteral("it holds an encrypted (password-protected) entry, which Orvinel "
                              "cannot open");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("it holds an entry compressed in a way Orvinel cannot unpack");
    case ZIP_ER_MULTIDISK:
        return QStringLiteral("it is one part of an archive split over several files");
    case ZIP_ER_MEMORY:
        return QStringLiteral("there is not enough memory to read it");
    case ZIP_ER_OPEN:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL:
        return QStringLiteral("it cannot be read (%1)")
            .arg(zip_error_system_type(error) == ZIP_ET_SYS
                     ? qt_error_string(zip_error_code_system(error))
                     : QString::fromUtf8(zip_error_strerror(error)));
    default:
        return QStringLiteral("it is a damaged KMZ archive (%1)")
            .arg(QString::fromUtf8(zip_error_strerror(error)));
    }
}

// Backslashes and a drive are refused outright: some unpackers take them as
// folders, whatever the zip format says.
QString UnpackName(const QString& name)
{
    if (name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QChar(0)))
        return {};
    const QStringList parts = name.split(QLatin1Char('/'));
    if (parts.first().contains(QLatin1Char(':')))
        return {};
    QStringList kept;
    for (const QString& part : parts) {
        if (part == QLatin1String("..")) {
            if (kept.isEmpty())
                return {};
            kept.removeLast();
        } else if (!part.isEmpty() && part != QLatin1String(".")) {
            kept.append(part);
        }
    }
    return kept.join(QLatin1Char('/'));
}

EntryDevice::EntryDevice(zip_file_t* file, zip_uint64_t declared) : file_(file), declared_(declared)
{
    open(QIODevice::ReadOnly);
}

qint64 EntryDevice::readData(char* data, qint64 maxSize)
{
    if (!problem_.isEmpty())
        return -1;
    const zip_uint64_t wanted = qMin(zip_uint64_t(maxSize), declared_ - read_ + 1);
    const zip_int64_t got = zip_fread(file_.get(), data, wanted);
    if (got < 0) {
        problem_ = ZipProblem(zip_file_get_error(file_.get()));
        return -1;
    }
    read_ += zip_uint64_t(got);
    if (read_ > declared_) {
        problem_ = QStringLiteral("it is a damaged KMZ archive: an entry holds more than its "
                                  "headers say");
        return -1;
    }
    return got;
}

} // namespace Kmz

using namespace Kmz;

namespace {

// Network links followed from one KML entry to the next inside an archive,
// at most this deep.
constexpr int kMostLinkDepth = 4;

const QString kKmlEntry = QStringLiteral("doc.kml");
const QString kPictureFolder = QStringLiteral("files/");

QString ZipText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

// Deflating these again only costs time.
bool IsCompressedPicture(const QString& name)
{
    const QString extension = FileExtension(name).toLower();
    return extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") ||
           extension == QLatin1String("png") || extension == QLatin1String("gif");
}

bool IsKml(const Entry& entry)
{
    return !entry.folder &&
           FileExtension(entry.name).compare(QLatin1String("kml"), Qt::CaseInsensitive) == 0;
}

// An open file as a stdio stream of its own for libzip; null with the reason.
using Stream = std::unique_ptr<FILE, int (*)(FILE*)>;
Stream StreamOf(const QFile& file, QString& problem)
{
    const int fd = ::dup(file.handle());
    FILE* stream = fd < 0 ? nullptr : ::fdopen(fd, "rb");
    if (stream == nullptr) {
        problem = qt_error_string(errno);
        if (fd >= 0)
            ::close(fd);
    }
    return {stream, &std::fclose};
}

// ---- Writing ----

bool AddEntry(zip_t* zip, const QString& name, zip_source_t* source, zip_int32_t method)
{
    if (source == nullptr)
        return false;
    const zip_int64_t index =
        zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(zip, zip_uint64_t(index), method, 0) == 0;
}

// libzip writes a temporary file beside the target and renames it over the
// target on zip_close, so the target is replaced whole or not at all. The
// bytes must live until then. Exactly `pictureSize` bytes of the picture go
// in, the size checked against the limit, however the file grows meanwhile.
WriteResult WriteZip(const QString& path, const QByteArray& kml, const QString& pictureEntry,
                     Stream picture, qint64 pictureSize)
{
    if (QFileInfo(path).isDir())
        return {false, QStringLiteral("A folder of that name is in the way.")};
    int code = ZIP_ER_OK;
    Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (zip == nullptr) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = ZipText(&error);
        zip_error_fini(&error);
        return {false, QStringLiteral("The archive cannot be made: %1.").arg(text)};
    }
    const zip_int32_t pictureMethod =
        IsCompressedPicture(pictureEntry) ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    // doc.kml first: viewers take the first KML entry as the document.
    bool added = AddEntry(
        zip.get(), kKmlEntry,
        zip_source_buffer(zip.get(), kml.constData(), zip_uint64_t(kml.size()), 0), ZIP_CM_DEFLATE);
    if (added && !pictureEntry.isEmpty()) {
        // Streamed from the file: the picture is never held in memory whole.
        zip_source_t* source = zip_source_filep(zip.get(), picture.get(), 0, pictureSize);
        if (source != nullptr)
            (void)picture.release(); // the source closes it
        added = AddEntry(zip.get(), pictureEntry, source, pictureMethod);
    }
    if (!added || zip_close(zip.get()) != 0)
        return {false, QStringLiteral("The archive cannot be written: %1.")
                           .arg(ZipText(zip_get_error(zip.get())))};
    (void)zip.release(); // zip_close freed it
    return {true, QString()};
}

// ---- Reading ----

Archive Refused(const QString& problem)
{
    return {nullptr, {}, problem};
}

// Every entry, before any is read: names that stay inside the unpack folder,
// no links, and declared sizes within the limit. The real bytes are counted
// again as they are read (EntryDevice), so a bomb cannot pass by lying.
QString CheckEntries(zip_t* zip, qint64 limit, std::vector<Entry>& entries)
{
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    zip_uint64_t total = 0;
    for (zip_uint64_t index = 0; index < zip_uint64_t(qMax<zip_int64_t>(count, 0)); ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_stat_index(zip, index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
            zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0)
            return ZipProblem(zip_get_error(zip));
        const QString name = QString::fromUtf8(stat.name);
        if (UnpackName(name).isEmpty())
            return QStringLiteral("it holds an entry named \"%1\", which would unpack outside "
                                  "its folder")
                .arg(name);
        // Unix keeps the file type in the attributes' upper half.
        const zip_uint32_t type = (attributes >> 16U) & 0170000U;
        if (system == ZIP_OPSYS_UNIX && type != 0 && type != 0100000U && type != 0040000U)
            return QStringLiteral("it holds \"%1\", a link or other special file").arg(name);
        if (stat.size > zip_uint64_t(limit) - total)
            return QStringLiteral("it would unpack to more than %1, the most Orvinel takes from "
                                  "one archive")
                .arg(SizeInWords(limit));
        total += stat.size;
        const bool encrypted =
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE;
        entries.push_back({index, name, stat.size, name.endsWith(QLatin1Char('/')), encrypted});
    }
    return {};
}

// Opens an archive read from `source` (freed in any case) and checks it.
// `start` is the archive's first bytes, to tell a cut-short zip from no zip.
Archive OpenArchive(zip_source_t* source, const QByteArray& start, qint64 limit)
{
    if (source == nullptr)
        return Refused(QStringLiteral("it cannot be read"));
    zip_error_t error;
    zip_error_init(&error);
    Archive archive;
    archive.zip.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (archive.zip == nullptr) {
        zip_source_free(source);
        if (zip_error_code_zip(&error) != ZIP_ER_NOZIP)
            archive.problem = ZipProblem(&error);
        else if (start.startsWith("PK\x03\x04"))
            archive.problem = QStringLiteral("it is a cut-short or damaged KMZ archive (%1)")
                                  .arg(ZipText(&error));
        else
            archive.problem = QStringLiteral("it is not a KMZ archive (%1)").arg(ZipText(&error));
    } else {
        archive.problem = CheckEntries(archive.zip.get(), limit, archive.entries);
    }
    zip_error_fini(&error);
    return archive;
}

// libzip reads the open file through a stream of its own on the same file.
Archive OpenArchive(QFile& file, qint64 limit)
{
    QString problem;
    Stream stream = StreamOf(file, problem);
    if (stream == nullptr)
        return Refused(problem);
    zip_source_t* source = zip_source_filep_create(stream.get(), 0, -1, nullptr);
    if (source != nullptr)
        (void)stream.release(); // the source closes it
    return OpenArchive(source, file.peek(4), limit);
}

Archive OpenArchive(const QByteArray& bytes, qint64 limit)
{
    return OpenArchive(
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, nullptr),
        bytes.left(4), limit);
}

// The entry a relative link names, taken from the folder of the KML entry
// `from`; links written on Windows may use "\" and "%20". Null when none.
const Entry* LinkedEntry(const Archive& archive, const QString& link, const QString& from)
{
    if (!IsRelativeLink(link))
        return nullptr;
    const QString folder = from.left(from.lastIndexOf(QLatin1Char('/')) + 1);
    for (QString candidate : {link, QUrl::fromPercentEncoding(link.toUtf8())}) {
        const QString wanted =
            UnpackName(folder + candidate.replace(QLatin1Char('\\'), QLatin1Char('/')));
        for (const Entry& entry : archive.entries) {
            if (!wanted.isEmpty() && !entry.folder && UnpackName(entry.name) == wanted)
                return &entry;
        }
    }
    return nullptr;
}

OpenedOverlayFile ReadKmlEntry(const Archive& archive, const Entry& entry, ReadControl* control)
{
    OpenedOverlayFile opened;
    if (entry.encrypted) {
        opened.problem = QStringLiteral("its KML file \"%1\" is encrypted (password-protected), "
                                        "which Orvinel cannot open")
                             .arg(entry.name);
        return opened;
    }
    zip_file_t* file = zip_fopen_index(archive.zip.get(), entry.index, 0);
    if (file == nullptr) {
        opened.problem = ZipProblem(zip_get_error(archive.zip.get()));
        return opened;
    }
    if (control != nullptr)
        control->total = qint64(entry.size);
    EntryDevice device(file, entry.size);
    opened = ReadOverlay(device, control);
    if (!device.problem().isEmpty()) {
        opened = OpenedOverlayFile();
        opened.problem = device.problem();
    }
    return opened;
}

// Reads `first`; when it holds no screen overlay, follows its network links
// to the KML entries they name inside the archive, depth first in file
// order, as GDAL lays out its KMZ files (doc.kml linking layers/NAME.kml).
// Each entry is read once at most, never more than kMostLinkDepth links
// deep. `holder` is the entry holding the overlay when one is found, else
// `first`, whose reading is returned.
OpenedOverlayFile ReadFollowingLinks(const Archive& archive, const Entry& first,
                                     ReadControl* control, const Entry*& holder)
{
    QStringList visited;
    std::vector<std::pair<const Entry*, int>> waiting{{&first, 0}};
    std::optional<OpenedOverlayFile> firstRead;
    while (!waiting.empty()) {
        const auto [entry, depth] = waiting.back();
        waiting.pop_back();
        if (visited.contains(entry->name))
            continue;
        visited.append(entry->name);
        OpenedOverlayFile opened = ReadKmlEntry(archive, *entry, control);
        if (opened.ok() || opened.cancelled) {
            holder = entry;
            return opened;
        }
        for (auto link = opened.networkLinks.crbegin();
             depth < kMostLinkDepth && link != opened.networkLinks.crend(); ++link) {
            const Entry* linked = LinkedEntry(archive, *link, entry->name);
            if (linked != nullptr && IsKml(*linked))
                waiting.emplace_back(linked, depth + 1);
        }
        if (!firstRead)
            firstRead = std::move(opened);
    }
    holder = &first;
    return std::move(*firstRead);
}

OpenedKmz ReadChecked(const Archive& archive, ReadControl* control)
{
    OpenedKmz opened;
    opened.archive = true;
    opened.overlay.problem = archive.problem;
    if (!archive.problem.isEmpty())
        return opened;
    const auto kml = std::find_if(archive.entries.begin(), archive.entries.end(), IsKml);
    if (kml == archive.entries.end()) {
        opened.overlay.problem = QStringLiteral("it holds no KML file");
        return opened;
    }
    const Entry* holder = nullptr;
    opened.overlay = ReadFollowingLinks(archive, *kml, control, holder);
    opened.kmlEntry = holder->name;
    if (opened.overlay.ok()) {
        const Entry* picture = LinkedEntry(archive, opened.overlay.settings.picture, holder->name);
        if (picture != nullptr && IsPictureFileName(picture->name))
            opened.pictureEntry = picture->name;
    }
    return opened;
}

} // namespace

namespace Kmz {

Archive OpenArchive(const QString& path, qint64 limit)
{
    const OpenedPicture opened = OpenPictureFile(path);
    if (!opened)
        return Refused(opened.problem);
    return Overlay::OpenArchive(*opened.file, limit);
}

const Entry* FindEntry(const Archive& archive, const QString& name)
{
    for (const Entry& entry : archive.entries) {
        if (!entry.folder && entry.name == name)
            return &entry;
    }
    return nullptr;
}

} // namespace Kmz

KmzExport WriteKmz(const QString& kmzPath, const OverlaySettings& settings,
                   const QString& pictureFile, qint64 maxUnpacked)
{
    KmzExport exported;
    OverlaySettings inside = settings;
    QString pictureEntry;
    Stream picture(nullptr, &std::fclose);
    qint64 pictureSize = 0;
    const QString& link = settings.picture;
    if (!link.isEmpty() && !IsWebAddress(link)) {
        pictureEntry = kPictureFolder + FileNameOf(link);
        if (UnpackName(pictureEntry) != pictureEntry) {
            exported.result = {false,
                               QStringLiteral("The picture link %1 names no file.").arg(link)};
            return exported;
        }
        const OpenedPicture opened = OpenPictureFile(pictureFile);
        QString problem = opened.problem;
        if (opened) {
            pictureSize = opened.file->size();
            picture = StreamOf(*opened.file, problem);
        }
        if (picture == nullptr) {
            exported.result = {
                false,
                QStringLiteral("The picture %1 cannot be read: %2.").arg(pictureFile, problem)};
            return exported;
        }
        inside.picture = pictureEntry;
    }
    const QByteArray kml = OverlayFileBytes(inside).bytes;
    // The reader's limit counts every entry: what passes here opens again.
    if (pictureSize > maxUnpacked - kml.size()) {
        exported.result = {
            false, QStringLiteral("The picture %1 (%2) is too large: a KMZ that "
                                  "Orvinel writes unpacks to at most %3.")
                       .arg(pictureFile, SizeInWords(pictureSize), SizeInWords(maxUnpacked))};
        return exported;
    }
    exported.result = WriteZip(kmzPath, kml, pictureEntry, std::move(picture), pictureSize);
    exported.pictureEmbedded = exported.result.ok && !pictureEntry.isEmpty();
    return exported;
}

OpenedKmz ReadKmz(const QString& kmzPath, ReadControl* control, qint64 maxUnpacked)
{
    return ReadChecked(OpenArchive(kmzPath, maxUnpacked), control);
}

namespace {

// The whole of one entry, or empty with `problem` set.
QByteArray EntryBytes(const Archive& archive, const Entry& entry, QString& problem)
{
    zip_file_t* file = zip_fopen_index(archive.zip.get(), entry.index, 0);
    if (file == nullptr) {
        problem = ZipProblem(zip_get_error(archive.zip.get()));
        return {};
    }
    EntryDevice device(file, entry.size);
    QByteArray bytes = device.readAll();
    problem = device.problem();
    return bytes;
}

// A KMZ read in place: its KML entry edited at overlay `which`, the
// archive's bytes kept to copy its other entries from.
OpenedKmz ReadKmzInPlace(const QByteArray& bytes, ReadControl* control, int which,
                         qint64 maxUnpacked = kKmzMaxUnpacked)
{
    const Archive archive = OpenArchive(bytes, maxUnpacked);
    OpenedKmz opened = ReadChecked(archive, control);
    const Entry* entry = FindEntry(archive, opened.kmlEntry);
    if (!opened.overlay.ok() || entry == nullptr)
        return opened;
    QString problem;
    const QByteArray kml = EntryBytes(archive, *entry, problem);
    KmlInPlaceRead read = ReadKmlInPlace(kml, nullptr, which, true);
    if (!problem.isEmpty() || !read.inPlace || !read.overlay.ok())
        return opened;
    auto inPlace = std::make_shared<InPlaceKml>(*read.inPlace);
    inPlace->archive = bytes;
    inPlace->kmlEntry = entry->name;
    opened.inPlace = std::move(inPlace);
    opened.overlay = std::move(read.overlay);
    opened.overlayLabels = std::move(read.labels);
    const Entry* picture = LinkedEntry(archive, opened.overlay.settings.picture, entry->name);
    opened.pictureEntry =
        picture != nullptr && IsPictureFileName(picture->name) ? picture->name : QString();
    return opened;
}

} // namespace

OpenedKmz ReadKmzBytes(const QByteArray& bytes, ReadControl* control, qint64 maxUnpacked)
{
    return ReadKmzInPlace(bytes, control, 0, maxUnpacked);
}

OpenedKmz ReadAnyOverlayFile(const QString& path, ReadControl* control, int which)
{
    OpenedKmz opened;
    const OpenedPicture file = OpenPictureFile(path);
    if (!file) {
        opened.overlay.problem = file.problem;
        return opened;
    }
    const QByteArray start = file.file->peek(4);
    const bool zip = start == "PK\x03\x04" || start == "PK\x05\x06";
    if (file.file->size() > kLargestInPlace) {
        if (zip)
            return ReadChecked(OpenArchive(*file.file, kKmzMaxUnpacked), control);
        opened.overlay = ReadOverlay(*file.file, control, which);
        return opened;
    }
    if (control != nullptr)
        control->total = file.file->size();
    const QByteArray bytes = file.file->readAll();
    if (file.file->error() != QFileDevice::NoError) {
        opened.overlay.problem = file.file->errorString();
        return opened;
    }
    // A zip's first entry, or the empty archive's end record.
    if (zip) {
        opened = ReadKmzInPlace(bytes, control, which);
    } else {
        KmlInPlaceRead read = ReadKmlInPlace(bytes, control, which);
        opened.overlay = std::move(read.overlay);
        opened.inPlace = std::move(read.inPlace);
        opened.overlayLabels = std::move(read.labels);
    }
    opened.stamp = StampOf(path, bytes);
    return opened;
}

namespace {

// What the archive's KML entry links to for the picture `now` names, and a
// picture from outside to add, as `entry` with its bytes. False with
// `problem` when that picture cannot be taken.
struct PictureInArchive
{
    QString link;
    QString entry;
    QByteArray bytes;
};
bool ArchivePicture(const InPlaceKml& file, const OverlaySettings& now, qint64 maxUnpacked,
                    PictureInArchive& picture, QString& problem)
{
    const QString& link = now.picture;
    picture.link = link;
    if (!file.shownPicture.isEmpty() && link == file.shownPicture) {
        picture.link = file.read.picture;
        return true;
    }
    if (link.isEmpty() || link == file.read.picture || IsWebAddress(link))
        return true;
    // From outside the archive: it goes in under files/, linked from the entry's folder.
    picture.entry = kPictureFolder + FileNameOf(link);
    const OpenedPicture opened =
        OpenPictureFile(ResolveLink(link, QFileInfo(now.outputFile).absolutePath()));
    if (!opened || UnpackName(picture.entry) != picture.entry) {
        problem = QStringLiteral("the picture %1 cannot be read: %2")
                      .arg(link, opened ? QStringLiteral("it names no file") : opened.problem);
        return false;
    }
    if (opened.file->size() > maxUnpacked - file.archive.size()) {
        problem = QStringLiteral("the picture %1 is too large: a KMZ that Orvinel writes "
                                 "unpacks to at most %2")
                      .arg(link, SizeInWords(maxUnpacked));
        return false;
    }
    picture.bytes = opened.file->readAll();
    picture.link =
        QStringLiteral("../").repeated(file.kmlEntry.count(QLatin1Char('/'))) + picture.entry;
    return true;
}

// The new archive a libzip source holds after zip_close; empty if unread.
QByteArray SourceBytes(zip_source_t* source)
{
    QByteArray out;
    if (zip_source_open(source) != 0)
        return out;
    zip_source_seek(source, 0, SEEK_END);
    out.resize(qsizetype(qMax<zip_int64_t>(zip_source_tell(source), 0)));
    zip_source_seek(source, 0, SEEK_SET);
    if (zip_source_read(source, out.data(), zip_uint64_t(out.size())) != out.size())
        out.clear();
    zip_source_close(source);
    return out;
}

} // namespace

QByteArray KmzInPlaceBytes(const InPlaceKml& file, const OverlaySettings& now, QString& problem,
                           qint64 maxUnpacked)
{
    PictureInArchive picture;
    if (!ArchivePicture(file, now, maxUnpacked, picture, problem))
        return {};
    OverlaySettings inside = now;
    inside.picture = picture.link;
    const QString& pictureEntry = picture.entry;
    const QByteArray kml = InPlaceBytes(file, inside);
    if (kml == file.bytes && pictureEntry.isEmpty())
        return file.archive;

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(file.archive.constData(),
                                                    zip_uint64_t(file.archive.size()), 0, &error);
    zip_t* zip = source != nullptr ? zip_open_from_source(source, 0, &error) : nullptr;
    if (zip == nullptr) {
        problem = ZipProblem(&error);
        zip_error_fini(&error);
        if (source != nullptr)
            zip_source_free(source);
        return {};
    }
    zip_error_fini(&error);
    // The source outlives the archive: the new archive is read back from it.
    zip_source_keep(source);
    const zip_int64_t index = zip_name_locate(zip, file.kmlEntry.toUtf8().constData(), 0);
    zip_source_t* kmlSource = zip_source_buffer(zip, kml.constData(), zip_uint64_t(kml.size()), 0);
    bool done = index >= 0 && kmlSource != nullptr &&
                zip_file_replace(zip, zip_uint64_t(index), kmlSource, ZIP_FL_ENC_UTF_8) == 0;
    if (!done && kmlSource != nullptr)
        zip_source_free(kmlSource);
    if (done && !pictureEntry.isEmpty())
        done = AddEntry(zip, pictureEntry,
                        zip_source_buffer(zip, picture.bytes.constData(),
                                          zip_uint64_t(picture.bytes.size()), 0),
                        IsCompressedPicture(pictureEntry) ? ZIP_CM_STORE : ZIP_CM_DEFLATE);
    if (!done || zip_close(zip) != 0) {
        problem =
            QStringLiteral("the archive cannot be written: %1").arg(ZipText(zip_get_error(zip)));
        zip_discard(zip);
        zip_source_free(source);
        return {};
    }
    QByteArray out = SourceBytes(source);
    zip_source_free(source);
    if (out.isEmpty())
        problem = QStringLiteral("the archive cannot be written");
    return out;
}

QString KmzUnpackFolder(const QString& kmzPath)
{
    const qsizetype nameStart = FileNameStart(kmzPath);
    const qsizetype dot = kmzPath.lastIndexOf(QLatin1Char('.'));
    return kmzPath.left(dot > nameStart ? dot : kmzPath.size()) + QStringLiteral("_files");
}

} // namespace Overlay
