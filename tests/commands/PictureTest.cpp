#include "Commands.h"
#include "FakeServices.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Content { Bmp, Jpeg, Png, Gif, Text, Empty, TruncatedJpeg, Missing };

// A header-valid 240 by 120 GIF89a: Qt reads GIF but cannot write it.
QByteArray Gif240x120()
{
    return QByteArray::fromHex("474946383961"       // GIF89a
                               "f0007800800000"     // 240 x 120, global table of 2
                               "000000ffffff"       // black, white
                               "2c00000000f0007800" // image at 0,0, 240 x 120
                               "02012c00"           // LZW: clear code, end code
                               "3b");
}

QByteArray Picture(const char* format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot make a %s picture", format);
    return bytes;
}

void Make(const QString& path, Content content)
{
    QByteArray bytes;
    switch (content) {
    case Content::Bmp:
        bytes = Picture("BMP", 31, 17);
        break;
    case Content::Jpeg:
        bytes = Picture("JPEG", 64, 48);
        break;
    case Content::Png:
        bytes = Picture("PNG", 10, 10);
        break;
    case Content::Gif:
        bytes = Gif240x120();
        break;
    case Content::Text:
        bytes = "This is a note, not a picture.\n";
        break;
    case Content::Empty:
        break;
    case Content::TruncatedJpeg:
        bytes = Picture("JPEG", 64, 48).left(24);
        break;
    case Content::Missing:
        return;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

Q_DECLARE_METATYPE(Content)

class PictureTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void choose_measuresOnlyReadablePicturesOfTheThreeTypes_data();
    void choose_measuresOnlyReadablePicturesOfTheThreeTypes();
    void choose_showsTheDialogAndEmptiesItsName();
    void cancel_givesNothing();
};

void PictureTest::choose_measuresOnlyReadablePicturesOfTheThreeTypes_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<Content>("content");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("caption");

    const auto row = [](const char* tag, const char* name, Content content, const char* width,
                        const char* height, const char* caption) {
        QTest::newRow(tag) << QString::fromUtf8(name) << content << QString::fromUtf8(width)
                           << QString::fromUtf8(height) << QString::fromUtf8(caption);
    };
    row("gif", "Legend.gif", Content::Gif, "240", "120", "Overlay Graphic: Legend.gif");
    row("bmp", "logo.bmp", Content::Bmp, "31", "17", "Overlay Graphic: logo.bmp");
    row("jpg", "photo.jpg", Content::Jpeg, "64", "48", "Overlay Graphic: photo.jpg");
    row("bmp, two dots", "my.logo.bmp", Content::Bmp, "31", "17", "Overlay Graphic: my.bmp");
    row("JPEG content named .bmp", "odd.bmp", Content::Jpeg, "64", "48",
        "Overlay Graphic: odd.bmp");
    // Extensions are compared exactly: capitals and "jpeg" are not measured.
    row("JPG in capitals", "LOGO.JPG", Content::Jpeg, "?", "?", "Overlay Graphic: LOGO.JPG");
    row("jpeg", "photo.jpeg", Content::Jpeg, "?", "?", "Overlay Graphic: photo.jpeg");
    row("png", "x.png", Content::Png, "?", "?", "Overlay Graphic: x.png");
    row("no extension", "legend", Content::Bmp, "?", "?", "Overlay Graphic: legend.");
    // Files that cannot be measured give "?" and nothing worse.
    row("PNG content named .gif", "wrong.gif", Content::Png, "?", "?",
        "Overlay Graphic: wrong.gif");
    row("text named .gif", "note.gif", Content::Text, "?", "?", "Overlay Graphic: note.gif");
    row("empty .bmp", "empty.bmp", Content::Empty, "?", "?", "Overlay Graphic: empty.bmp");
    row("damaged .jpg", "cut.jpg", Content::TruncatedJpeg, "?", "?", "Overlay Graphic: cut.jpg");
    row("missing .jpg", "gone.jpg", Content::Missing, "?", "?", "Overlay Graphic: gone.jpg");
}

void PictureTest::choose_measuresOnlyReadablePicturesOfTheThreeTypes()
{
    QFETCH(QString, fileName);
    QFETCH(Content, content);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(fileName);
    Make(path, content);

    FakeServices services;
    services.fileDialogAnswers = {path};
    CommonDialog dialog(services, nullptr);
    const std::optional<GraphicChoice> choice = cmdOpen_graphic_file(dialog);

    QVERIFY(choice);
    QCOMPARE(choice->GraphicFilePath, path);
    QTEST(choice->widthText, "width");
    QTEST(choice->heightText, "height");
    QTEST(choice->windowCaption, "caption");
    QCOMPARE(services.MessageCount(), 0);
}

void PictureTest::choose_showsTheDialogAndEmptiesItsName()
{
    FakeServices services;
    services.fileDialogAnswers = {QStringLiteral("/nowhere/a.png")};
    CommonDialog dialog(services, nullptr);
    QVERIFY(cmdOpen_graphic_file(dialog));

    const QList<FakeServices::Call> dialogs = services.CallsOf(FakeServices::Kind::FileDialog);
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].mode, FileDialogMode::Open);
    QCOMPARE(dialogs[0].title, QStringLiteral("Select graphic file for overlay"));
    QCOMPARE(dialogs[0].text,
             QStringLiteral("Screen overlay graphic file|*.bmp;*.jpg;*.gif;*.tif;*.jpeg;*.tiff;"
                            "*.tga;*.pgm;*.dds;*.ppm;*.png"));
    QCOMPARE(dialog.FileName(), QString());
}

void PictureTest::cancel_givesNothing()
{
    FakeServices services;
    CommonDialog dialog(services, nullptr);
    QVERIFY(!cmdOpen_graphic_file(dialog));
    QCOMPARE(services.CallsOf(FakeServices::Kind::FileDialog).size(), 1);
    QCOMPARE(services.MessageCount(), 0);
}

QTEST_GUILESS_MAIN(PictureTest)
#include "PictureTest.moc"
