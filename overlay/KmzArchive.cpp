#include "KmzArchive.h"

#include "KmlWriter.h"
#include "PathHelpers.h"
#include "PictureFile.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>
#include <zip.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#else
#include <io.h>
#endif

namespace Overlay {

namespace {

// However small the archive, never more than this unpacked; and never more
// than kMaxRatio times the archive's own size, which no real picture needs.
constexpr zip_uint64_t kMaxUnpacked = zip_uint64_t(512) * 1024 * 1024;
constexpr zip_uint64_t kMaxRatio = 100;

const QString kKmlEntry = QStringLiteral("doc.kml");
const QString kPictureFolder = QStringLiteral("files/");

struct ZipDiscard
{
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
using Zip = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using ZipFile = std::unique_ptr<zip_file_t, ZipFileClose>;

QString ZipText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

QString Damaged(zip_error_t* error)
{
    return QStringLiteral("it is a damaged KMZ archive (%1)").arg(ZipText(error));
}

// A scheme of two letters or more: a single letter and a colon is a drive.
bool IsWebAddress(const QString& link)
{
    static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return kScheme.match(link).hasMatch();
}

// Deflating these again only costs time.
bool IsCompressedPicture(const QString& name)
{
    const QString extension = FileExtension(name).toLower();
    return extension == QLatin1String("jpg") || extension == QLatin1String("jpeg") ||
           extension == QLatin1String("png") || extension == QLatin1String("gif");
}

// Where an entry unpacks, relative to the unpack folder: its name cleaned, or
// empty when it would land outside that folder (or on the folder itself).
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

// A file the user named, opened the way pictures are (never blocking on a
// pipe), as a stdio stream of its own for libzip; null with the reason.
using Stream = std::unique_ptr<FILE, int (*)(FILE*)>;
Stream OpenStream(const QString& path, QString& problem, qint64* size = nullptr,
                  QByteArray* start = nullptr)
{
    const OpenedPicture opened = OpenPictureFile(path);
    if (!opened) {
        problem = opened.problem;
        return {nullptr, &std::fclose};
    }
    if (size != nullptr)
        *size = opened.file->size();
    if (start != nullptr)
        *start = opened.file->peek(4);
    const int fd = ::dup(opened.file->handle());
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
// bytes must live until then.
WriteResult WriteZip(const QString& path, const QByteArray& kml, const QString& pictureEntry,
                     Stream picture)
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
        zip_source_t* source = zip_source_filep(zip.get(), picture.get(), 0, -1);
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

struct Entry
{
    zip_uint64_t index = 0;
    QString name;
    zip_uint64_t size = 0;
    bool folder = false;
};

struct Archive
{
    Zip zip;
    std::vector<Entry> entries;
    QString problem;
};

Archive Refused(const QString& problem)
{
    return {nullptr, {}, problem};
}

// One entry as a read-only stream that stops one byte past the size the
// headers declared: the limits were checked against those sizes, so headers
// that lie cannot make it unpack more.
class EntryDevice final : public QIODevice
{
public:
    EntryDevice(zip_file_t* file, zip_uint64_t declared) : file_(file), declared_(declared)
    {
        open(QIODevice::ReadOnly);
    }
    EntryDevice(const EntryDevice&) = delete;
    EntryDevice& operator=(const EntryDevice&) = delete;
    EntryDevice(EntryDevice&&) = delete;
    EntryDevice& operator=(EntryDevice&&) = delete;
    ~EntryDevice() override = default;

    bool isSequential() const override { return true; }
    const QString& problem() const { return problem_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (!problem_.isEmpty())
            return -1;
        const zip_uint64_t wanted = qMin(zip_uint64_t(maxSize), declared_ - read_ + 1);
        const zip_int64_t got = zip_fread(file_.get(), data, wanted);
        if (got < 0) {
            problem_ = Damaged(zip_file_get_error(file_.get()));
            return -1;
        }
        read_ += zip_uint64_t(got);
        if (read_ > declared_) {
            problem_ = QStringLiteral("it is a damaged KMZ archive (an entry holds more than "
                                      "its headers say)");
            return -1;
        }
        return got;
    }
    qint64 writeData(const char* /*data*/, qint64 /*size*/) override { return -1; }

private:
    ZipFile file_;
    zip_uint64_t declared_;
    zip_uint64_t read_ = 0;
    QString problem_;
};

// Every entry, before any is read: names that stay inside the unpack folder,
// no links, and declared sizes within the limits.
QString CheckEntries(zip_t* zip, zip_uint64_t archiveSize, std::vector<Entry>& entries)
{
    const zip_uint64_t limit = qMin(kMaxUnpacked, kMaxRatio * archiveSize);
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    zip_uint64_t total = 0;
    for (zip_uint64_t index = 0; index < zip_uint64_t(qMax<zip_int64_t>(count, 0)); ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_stat_index(zip, index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 ||
            zip_file_get_external_attributes(zip, index, 0, &system, &attributes) != 0)
            return Damaged(zip_get_error(zip));
        const QString name = QString::fromUtf8(stat.name);
        if (UnpackName(name).isEmpty())
            return QStringLiteral("it holds an entry named \"%1\", which would unpack outside "
                                  "its folder")
                .arg(name);
        // Unix keeps the file type in the attributes' upper half.
        const zip_uint32_t type = (attributes >> 16U) & 0170000U;
        if (system == ZIP_OPSYS_UNIX && type != 0 && type != 0100000U && type != 0040000U)
            return QStringLiteral("it holds \"%1\", a link or other special file").arg(name);
        if (stat.size > limit - total)
            return QStringLiteral("it would unpack to more than %1 MB, too much for an archive "
                                  "of %2 KB")
                .arg(limit / (zip_uint64_t(1024) * 1024))
                .arg((archiveSize + 1023) / 1024);
        total += stat.size;
        entries.push_back({index, name, stat.size, name.endsWith(QLatin1Char('/'))});
    }
    return {};
}

// Opens an archive read from `source` (freed in any case) and checks it.
// `start` is the archive's first bytes, to tell a cut-short zip from no zip.
Archive OpenArchive(zip_source_t* source, zip_uint64_t size, const QByteArray& start)
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
            archive.problem = Damaged(&error);
        else if (start.startsWith("PK\x03\x04"))
            archive.problem = QStringLiteral("it is a cut-short or damaged KMZ archive (%1)")
                                  .arg(ZipText(&error));
        else
            archive.problem = QStringLiteral("it is not a KMZ archive (%1)").arg(ZipText(&error));
    } else {
        archive.problem = CheckEntries(archive.zip.get(), size, archive.entries);
    }
    zip_error_fini(&error);
    return archive;
}

// The file is opened the way pictures are (never blocking on a pipe); libzip
// reads it through a stream of its own on the same open file.
Archive OpenArchive(const QString& path)
{
    QString problem;
    qint64 size = 0;
    QByteArray start;
    Stream stream = OpenStream(path, problem, &size, &start);
    if (stream == nullptr)
        return Refused(problem);
    zip_source_t* source = zip_source_filep_create(stream.get(), 0, -1, nullptr);
    if (source != nullptr)
        (void)stream.release(); // the source closes it
    return OpenArchive(source, zip_uint64_t(size), start);
}

Archive OpenArchive(const QByteArray& bytes)
{
    return OpenArchive(
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, nullptr),
        zip_uint64_t(bytes.size()), bytes.left(4));
}

const Entry* FindEntry(const Archive& archive, const QString& name)
{
    for (const Entry& entry : archive.entries) {
        if (!entry.folder && entry.name == name)
            return &entry;
    }
    return nullptr;
}

// The entry a relative picture link names, taken from the KML entry's
// folder; links written on Windows may use "\" and "%20".
QString PictureEntry(const Archive& archive, const QString& link, const QString& kmlEntry)
{
    if (!IsRelativeLink(link))
        return {};
    const QString folder = kmlEntry.left(kmlEntry.lastIndexOf(QLatin1Char('/')) + 1);
    for (QString candidate : {link, QUrl::fromPercentEncoding(link.toUtf8())}) {
        const QString wanted =
            UnpackName(folder + candidate.replace(QLatin1Char('\\'), QLatin1Char('/')));
        for (const Entry& entry : archive.entries) {
            if (!wanted.isEmpty() && !entry.folder && UnpackName(entry.name) == wanted)
                return entry.name;
        }
    }
    return {};
}

OpenedKmz ReadChecked(const Archive& archive)
{
    OpenedKmz opened;
    opened.overlay.problem = archive.problem;
    if (!archive.problem.isEmpty())
        return opened;
    const auto isKml = [](const Entry& entry) {
        return !entry.folder &&
               FileExtension(entry.name).compare(QLatin1String("kml"), Qt::CaseInsensitive) == 0;
    };
    const auto kml = std::find_if(archive.entries.begin(), archive.entries.end(), isKml);
    if (kml == archive.entries.end()) {
        opened.overlay.problem = QStringLiteral("it holds no KML file");
        return opened;
    }
    zip_file_t* file = zip_fopen_index(archive.zip.get(), kml->index, 0);
    if (file == nullptr) {
        opened.overlay.problem = Damaged(zip_get_error(archive.zip.get()));
        return opened;
    }
    EntryDevice device(file, kml->size);
    opened.overlay = ReadOverlay(device);
    if (!device.problem().isEmpty()) {
        opened.overlay = OpenedOverlayFile();
        opened.overlay.problem = device.problem();
    } else if (opened.overlay.ok()) {
        opened.pictureEntry =
            PictureEntry(archive, opened.overlay.settings.GraphicFilePath, kml->name);
    }
    return opened;
}

} // namespace

KmzExport WriteKmz(const QString& kmzPath, const OverlaySettings& settings,
                   const QString& pictureFile)
{
    KmzExport exported;
    OverlaySettings inside = settings;
    QString pictureEntry;
    Stream picture(nullptr, &std::fclose);
    const QString& link = settings.GraphicFilePath;
    if (!link.isEmpty() && !IsWebAddress(link)) {
        const QString name = link.mid(
            qMax(link.lastIndexOf(QLatin1Char('/')), link.lastIndexOf(QLatin1Char('\\'))) + 1);
        pictureEntry = kPictureFolder + name;
        if (UnpackName(pictureEntry) != pictureEntry) {
            exported.result = {false,
                               QStringLiteral("The picture link %1 names no file.").arg(link)};
            return exported;
        }
        QString problem;
        picture = OpenStream(pictureFile, problem);
        if (picture == nullptr) {
            exported.result = {
                false,
                QStringLiteral("The picture %1 cannot be read: %2.").arg(pictureFile, problem)};
            return exported;
        }
        inside.GraphicFilePath = pictureEntry;
    }
    exported.result =
        WriteZip(kmzPath, OverlayFileBytes(inside).bytes, pictureEntry, std::move(picture));
    exported.pictureEmbedded = exported.result.ok && !pictureEntry.isEmpty();
    return exported;
}

OpenedKmz ReadKmz(const QString& kmzPath)
{
    return ReadChecked(OpenArchive(kmzPath));
}

OpenedKmz ReadKmzBytes(const QByteArray& bytes)
{
    return ReadChecked(OpenArchive(bytes));
}

QString KmzUnpackFolder(const QString& kmzPath)
{
    const qsizetype nameStart =
        qMax(kmzPath.lastIndexOf(QLatin1Char('/')), kmzPath.lastIndexOf(QLatin1Char('\\'))) + 1;
    const qsizetype dot = kmzPath.lastIndexOf(QLatin1Char('.'));
    return kmzPath.left(dot > nameStart ? dot : kmzPath.size()) + QStringLiteral("_files");
}

WriteResult UnpackKmzEntry(const QString& kmzPath, const QString& entry, QString& unpackedPath)
{
    unpackedPath.clear();
    // Checked again here, whatever the caller read before: the archive may
    // have been replaced since.
    const QString relative = UnpackName(entry);
    if (relative.isEmpty())
        return {false,
                QStringLiteral("The entry \"%1\" would unpack outside its folder.").arg(entry)};
    const Archive archive = OpenArchive(kmzPath);
    if (!archive.problem.isEmpty())
        return {false, QStringLiteral("The archive cannot be unpacked: %1.").arg(archive.problem)};
    const Entry* found = FindEntry(archive, entry);
    zip_file_t* file =
        found == nullptr ? nullptr : zip_fopen_index(archive.zip.get(), found->index, 0);
    if (file == nullptr)
        return {false, QStringLiteral("The archive holds no file \"%1\".").arg(entry)};
    EntryDevice device(file, found->size);
    const QByteArray bytes = device.readAll();
    if (!device.problem().isEmpty())
        return {false, QStringLiteral("The archive cannot be unpacked: %1.").arg(device.problem())};

    const QString target = KmzUnpackFolder(kmzPath) + QLatin1Char('/') + relative;
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        return {false, QStringLiteral("The folder %1 cannot be made.").arg(folder)};
    WriteResult written = WriteFileAtomically(target, bytes);
    if (written.ok)
        unpackedPath = target;
    return written;
}

} // namespace Overlay
