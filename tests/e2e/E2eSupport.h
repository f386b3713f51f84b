#pragma once

// The real main window on real files in a temporary folder. The services
// double answers dialogs and questions; programs are really started, and the
// stand-in viewer records what it was started with.

#include "QtServices.h"
#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

// The double, but a start it lets through is really made.
class RealStartServices : public FakeServices
{
public:
    StartResult StartProgram(const QString& program, const QStringList& arguments) override
    {
        const StartResult faked = FakeServices::StartProgram(program, arguments);
        return faked.ok ? QtServices().StartProgram(program, arguments) : faked;
    }
};

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The network link file for an overlay path without "<" in it.
inline QByteArray LinkFileBytes(QString overlayPath)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<NetworkLink>\n<Url>\n<href>" +
           overlayPath.replace(u'&', QStringLiteral("&amp;")).toUtf8() +
           "</href>\n<refreshMode>onInterval</refreshMode>\n<refreshInterval>1</refreshInterval>\n"
           "</Url>\n</NetworkLink>\n</kml>\n";
}

// A white 240 by 120 GIF89a that decodes whole (Qt reads GIF, cannot write
// it). Every two pixels are a clear code and two literals, so the LZW codes
// stay three bits wide.
inline QByteArray Gif240x120()
{
    QByteArray gif = QByteArray::fromHex("474946383961f0007800800000000000ffffff"
                                         "2c00000000f00078000002");
    QByteArray codes;
    quint32 pending = 0;
    int bits = 0;
    for (int pair = 0; pair <= 240 * 120 / 2; ++pair) {
        pending |= quint32(pair < 240 * 120 / 2 ? 0x4c /* clear, 1, 1 */ : 5 /* end */) << bits;
        for (bits += 9; bits >= 8; bits -= 8, pending >>= 8)
            codes += char(pending & 0xff);
    }
    codes += char(pending);
    for (qsizetype at = 0; at < codes.size(); at += 255)
        gif += char(qMin<qsizetype>(255, codes.size() - at)) + codes.mid(at, 255);
    return gif + QByteArray("\0;", 2);
}

class E2eWindow
{
public:
    RealStartServices services;
    QTemporaryDir folder;
    std::unique_ptr<frmOrvinel> window;

    QString Path(const QString& name) const { return folder.filePath(name); }
    QString Record() const { return Path(QStringLiteral("viewer.args")); }
    static QString Standin() { return QStringLiteral(ORVINEL_STANDIN); }
    template <class T = QWidget> T* Get(const char* name) const
    {
        return Find<T>(window.get(), name);
    }

    bool Open()
    {
        qputenv("ORVINEL_STANDIN_RECORD", QFile::encodeName(Record()));
        services.programFolder = folder.path();
        window = std::make_unique<frmOrvinel>(services);
        window->Form_Load();
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }

    // Clicks an enabled control with these file dialog answers queued (none:
    // the dialog is cancelled); true when it was enabled and took them all.
    bool Press(const char* control, const QStringList& answers = {})
    {
        services.fileDialogAnswers.assign(answers.begin(), answers.end());
        if (!Get(control)->isEnabled())
            return false;
        WindowDriver::Click(Get(control));
        return services.fileDialogAnswers.empty();
    }
    bool Choose(const QString& picture) { return Press("cmdOpen_graphic_file", {picture}); }
    bool SaveAs(const QString& typed) { return Press("cmdSave_As", {typed}); }
    // The network link, naming the stand-in when the viewer is asked for.
    bool Link()
    {
        const bool known = QFileInfo(window->GoogleEarthPath()).isFile();
        return Press("cmdCreate_Network_Link", known ? QStringList() : QStringList{Standin()});
    }
};
