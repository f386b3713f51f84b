#pragma once

// What reading a KMZ and unpacking from it share: the archive opened and
// checked, its entries, and one entry as a stream. Only the KMZ code uses it.

#include <QIODevice>
#include <QString>

#include <memory>
#include <vector>
#include <zip.h>

namespace Overlay::Kmz {

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

struct Entry
{
    zip_uint64_t index = 0;
    QString name;
    zip_uint64_t size = 0;
    bool folder = false;
    bool encrypted = false;
};

struct Archive
{
    Zip zip;
    std::vector<Entry> entries;
    // Why the archive cannot be used; empty when it can.
    QString problem;
};

// A byte count as people read it: "300 bytes", "9 KB", "512 MB".
QString SizeInWords(qint64 bytes);

// What libzip's error means for the user, as a sentence part that follows
// "The overlay file could not be opened: ".
QString ZipProblem(zip_error_t* error);

// Where an entry unpacks, relative to the unpack folder: its name cleaned, or
// empty when it would land outside that folder (or on the folder itself).
QString UnpackName(const QString& name);

// Opens the file at `path` as an archive and checks every entry: names that
// stay inside the unpack folder, no links, at most `limit` bytes unpacked.
Archive OpenArchive(const QString& path, qint64 limit);

// The file entry named exactly `name`, or null.
const Entry* FindEntry(const Archive& archive, const QString& name);

// One entry as a read-only stream that stops one byte past the size the
// headers declared: the limits were checked against those sizes, so headers
// that lie cannot make it unpack more. It never seeks, but tells its size
// and position, so that a reader can show how far it is.
class EntryDevice final : public QIODevice
{
public:
    EntryDevice(zip_file_t* file, zip_uint64_t declared);
    EntryDevice(const EntryDevice&) = delete;
    EntryDevice& operator=(const EntryDevice&) = delete;
    EntryDevice(EntryDevice&&) = delete;
    EntryDevice& operator=(EntryDevice&&) = delete;
    ~EntryDevice() override = default;

    bool isSequential() const override { return false; }
    qint64 size() const override { return qint64(declared_); }
    bool seek(qint64 pos) override { return pos == this->pos() && QIODevice::seek(pos); }
    // At its end once it fails too: a reader would otherwise wait for the
    // declared rest.
    bool atEnd() const override { return !problem_.isEmpty() || QIODevice::atEnd(); }
    // Why the entry could not be read to its end; empty while all is well.
    const QString& problem() const { return problem_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* /*data*/, qint64 /*size*/) override { return -1; }

private:
    ZipFile file_;
    zip_uint64_t declared_;
    zip_uint64_t read_ = 0;
    QString problem_;
};

} // namespace Overlay::Kmz
