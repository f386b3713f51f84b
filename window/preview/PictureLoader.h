#pragma once

#include "PicturePreparation.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

// The picture the preview shows. A new picture's header is read at once, so
// the overlay is placed at once; its pixels are decoded on a worker thread,
// no larger than they are drawn, and kept with their halvings. A larger
// decode is asked for only when the drawing outgrows the copy at hand.
class PictureLoader : public QObject
{
    Q_OBJECT
public:
    // Preparing: placed by its header, its pixels on the way.
    enum class Picture { None, Preparing, Loaded, Unreadable };

    // Stands in for the native size when there is no picture, or when not even
    // the picture's header can be read.
    static constexpr QSize kStandInSize{128, 128};

    explicit PictureLoader(QObject* parent = nullptr);
    ~PictureLoader() override;
    Q_DISABLE_COPY_MOVE(PictureLoader)

    // Drops the picture at hand and reads the header of the one at `path`
    // (no picture when empty).
    void load(const QString& path);
    // Starts a decode when neither the copy at hand nor the one on its way
    // covers the `drawn` device pixels the picture covers now, or as many of
    // them as a screen shown `shownSide` device pixels long can use.
    void requestPixels(QSize drawn, double shownSide);
    // What to draw the picture from at `devicePixels`: never larger than the
    // decoded copy, as the painter enlarges as it draws.
    const QImage& imageForSize(QSize devicePixels);

    const QString& path() const { return path_; }
    Picture picture() const { return picture_; }
    // Why the picture cannot be read, in a few words; empty unless Unreadable.
    QString problem() const { return problem_; }
    // Measured from the picture's header (kStandInSize when it has none).
    QSize nativeSize() const { return native_; }
    // The decoded copy drawings scale from; empty until one has arrived.
    QSize preparedSize() const { return levels_.empty() ? QSize() : levels_.front().size(); }
    // How many decodes of a picture file were started.
    int decodeCount() const { return decodeCount_; }

Q_SIGNALS:
    // A decode ended, with pixels or without: what was drawn is out of date.
    void arrived();
    // The picture was prepared, or found unreadable, as a decode ended.
    void pictureChanged();

private:
    struct Mailbox;

    void Receive(quint64 request, PreparedPicture prepared);
    // A decode's result taken over: its pixels, or what it could not read.
    void Take(PreparedPicture prepared);

    QString path_;
    Picture picture_ = Picture::None;
    QString problem_;
    QSize native_ = kStandInSize;
    int decodeCount_ = 0;
    // Numbers the decodes; only the latest one's result is taken.
    quint64 request_ = 0;
    // The size being decoded now; empty when none is.
    QSize decoding_;
    // A larger decode failed: the copy at hand is all there will be.
    bool noLarger_ = false;
    // Shared with the decodes under way, which may outlive the loader.
    std::shared_ptr<Mailbox> mailbox_;
    // The decoded picture and its successive halvings, largest first, so that
    // a small drawing scales from a copy near its own size.
    std::vector<QImage> levels_;
    // What the last drawing was made from, and for what size.
    QImage fitted_;
    QSize fittedFor_;
};
