#include "PictureLoader.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

namespace {

// A picture is never decoded at more device pixels than this many times the
// long side of the screen as shown: one drawn larger shows only in part, and
// a huge decode would cost more than the sharpness it buys.
constexpr double kMostPixelsPerScreen = 2;

} // namespace

// Shared by the loader and the decodes it started, which may outlive it. A
// decode's result is delivered on the window's thread, where `loader` is
// read and cleared, so the loader is either there or known to be gone.
struct PictureLoader::Mailbox
{
    PictureLoader* loader = nullptr;
    // The request the loader waits for; older decodes give up early.
    std::atomic<quint64> latest{0};
};

PictureLoader::PictureLoader(QObject* parent)
    : QObject(parent), mailbox_(std::make_shared<Mailbox>())
{
    mailbox_->loader = this;
    AllowLargePictures();
}

PictureLoader::~PictureLoader()
{
    mailbox_->loader = nullptr;
    mailbox_->latest = 0;
}

void PictureLoader::load(const QString& path)
{
    path_ = path;
    levels_.clear();
    fitted_ = QImage();
    fittedFor_ = QSize();
    problem_.clear();
    native_ = kStandInSize;
    // Whatever is being decoded is for another picture now.
    mailbox_->latest = ++request_;
    decoding_ = QSize();
    noLarger_ = false;
    if (path.isEmpty()) {
        picture_ = Picture::None;
        return;
    }
    const PictureHeader header = ReadPictureHeader(path);
    if (!header.size.isValid()) {
        picture_ = Picture::Unreadable;
        problem_ = header.problem;
        return;
    }
    // The first drawing says at what size the pixels are needed.
    picture_ = Picture::Preparing;
    native_ = header.size;
}

void PictureLoader::requestPixels(QSize drawn, double shownSide)
{
    if (picture_ != Picture::Preparing && (picture_ != Picture::Loaded || noLarger_))
        return;
    const int most = DevicePixels(kMostPixelsPerScreen * shownSide);
    const QSize target = DecodeSizeFor(native_, drawn.boundedTo(QSize(most, most)));
    const QSize have = decoding_.isValid() ? decoding_ : preparedSize();
    if (have.width() >= target.width() && have.height() >= target.height())
        return;

    decoding_ = target;
    ++decodeCount_;
    const quint64 request = ++request_;
    mailbox_->latest = request;
    QThreadPool::globalInstance()->start([mailbox = mailbox_, app = QCoreApplication::instance(),
                                          request, path = path_, native = native_, target,
                                          drawn = drawn.boundedTo(target)] {
        const auto stillWanted = [&] {
            return mailbox->latest == request;
        };
        // Through the application object, which outlives every loader.
        const auto deliver = [&](PreparedPicture prepared) {
            QMetaObject::invokeMethod(
                app,
                [mailbox, request, prepared = std::move(prepared)]() mutable {
                    if (mailbox->loader)
                        mailbox->loader->Receive(request, std::move(prepared));
                },
                Qt::QueuedConnection);
        };
        if (!stillWanted())
            return;
        // Drawn first; the halvings for smaller drawings follow.
        PreparedPicture prepared = DecodePicture(path, native, target, drawn);
        if (!stillWanted())
            return;
        deliver(prepared);
        if (prepared.levels.empty())
            return;
        AddHalvings(prepared.levels, stillWanted);
        prepared.fitted = QImage();
        if (stillWanted())
            deliver(std::move(prepared));
    });
}

void PictureLoader::Receive(quint64 request, PreparedPicture prepared)
{
    // Another picture, or a larger decode, was asked for since.
    if (request != request_)
        return;
    decoding_ = QSize();
    const Picture before = picture_;
    Take(std::move(prepared));
    Q_EMIT arrived();
    if (picture_ != before)
        Q_EMIT pictureChanged();
}

void PictureLoader::Take(PreparedPicture prepared)
{
    if (!prepared.levels.empty()) {
        levels_ = std::move(prepared.levels);
        if (!prepared.fitted.isNull()) {
            fitted_ = std::move(prepared.fitted);
            fittedFor_ = prepared.fittedFor;
        }
        picture_ = Picture::Loaded;
    } else if (picture_ == Picture::Loaded) {
        // The smaller copy at hand still serves; asking again would fail again.
        noLarger_ = true;
    } else {
        picture_ = Picture::Unreadable;
        problem_ = prepared.problem;
    }
}

const QImage& PictureLoader::imageForSize(QSize devicePixels)
{
    const QSize size = devicePixels.boundedTo(preparedSize());
    if (size != fittedFor_) {
        fitted_ = ScaledFromLevels(levels_, size);
        fittedFor_ = size;
    }
    return fitted_;
}
