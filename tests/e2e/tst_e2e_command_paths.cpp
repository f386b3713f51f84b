// The file and program commands through the real main window on real files in
// a temporary folder: what the user sees, what is on disk and what the viewer
// got. The services double answers dialogs and questions; programs are really
// started, and the stand-in viewer records what it was started with.

#include "QtServices.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QSlider>

using Kind = FakeServices::Kind;

namespace {

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

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A white 240 by 120 GIF89a that decodes whole (Qt reads GIF, cannot write
// it). Every two pixels are a clear code and two literals, so the LZW codes
// stay three bits wide.
QByteArray Gif240x120()
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

// The overlay file of the typical run: "Lower right", all else at start values.
QByteArray OverlayBytes(const QString& picture, const char* color)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<ScreenOverlay>\n<color>") +
           color + "</color><drawOrder>99</drawOrder><Icon>\n<href>" + picture.toUtf8() +
           "</href>\n</Icon>\n"
           "<overlayXY x=\"1\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\" />\n"
           "<screenXY x=\"1\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\" />\n"
           "</ScreenOverlay>\n</kml>\n";
}

// The network link file for an overlay path without "<" in it.
QByteArray LinkFileBytes(QString overlayPath)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<NetworkLink>\n<Url>\n<href>" +
           overlayPath.replace(u'&', QStringLiteral("&amp;")).toUtf8() +
           "</href>\n<refreshMode>onInterval</refreshMode>\n<refreshInterval>1</refreshInterval>\n"
           "</Url>\n</NetworkLink>\n</kml>\n";
}

} // namespace

class E2eCommandPathsTest : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        RealStartServices services;
        QTemporaryDir folder;
        std::unique_ptr<frmOrvinel> window;
    };
    std::unique_ptr<Run> run;

    QString Path(const QString& name) const { return run->folder.filePath(name); }
    QDir Folder() const { return QDir(run->folder.path()); }
    QString Record() const { return Path("viewer.args"); }
    static QString Standin() { return QStringLiteral(ORVINEL_STANDIN); }
    template <class T = QWidget> T* Get(const char* name) const
    {
        return Find<T>(run->window.get(), name);
    }
    QString Text(const char* control) const
    {
        auto* label = qobject_cast<QLabel*>(Get(control));
        return label ? label->text() : Get<QLineEdit>(control)->text();
    }
    bool Enabled(const char* control) const { return Get(control)->isEnabled(); }
    // The text of the one message of this kind.
    QString Only(Kind kind) const
    {
        const QList<FakeServices::Call> told = run->services.CallsOf(kind);
        return told.size() == 1 ? told[0].text : QStringLiteral("(not one message)");
    }

    // Clicks an enabled control with these file dialog answers queued (none:
    // the dialog is cancelled); true when it was enabled and took them all.
    bool Press(const char* control, const QStringList& answers = {})
    {
        run->services.fileDialogAnswers.assign(answers.begin(), answers.end());
        if (!Enabled(control))
            return false;
        WindowDriver::Click(Get(control));
        return run->services.fileDialogAnswers.empty();
    }
    bool Choose(const QString& picture) { return Press("cmdOpen_graphic_file", {picture}); }
    bool SaveAs(const QString& typed) { return Press("cmdSave_As", {typed}); }
    // The network link, naming the stand-in when the viewer is asked for.
    bool Link()
    {
        const bool known = QFileInfo(run->window->GoogleEarthPath()).isFile();
        return Press("cmdCreate_Network_Link", known ? QStringList() : QStringList{Standin()});
    }
    // Legend.gif chosen, and Save As to each of `outputs`.
    bool Prepare(const QStringList& outputs = {})
    {
        bool done = WriteAll(Path("Legend.gif"), Gif240x120()) && Choose(Path("Legend.gif"));
        for (const QString& output : outputs)
            done = done && SaveAs(Path(output));
        return done;
    }

private Q_SLOTS:
    void init()
    {
        run = std::make_unique<Run>();
        qputenv("ORVINEL_STANDIN_RECORD", QFile::encodeName(Record()));
        run->services.programFolder = run->folder.path();
        run->window = std::make_unique<frmOrvinel>(run->services);
        run->window->Form_Load();
        // Never the real viewer, even where one is installed: the stand-in.
        run->window->SetGoogleEarthPath(Path("no viewer here"));
        run->window->show();
        QVERIFY(QTest::qWaitForWindowActive(run->window.get()));
    }

    void cleanup()
    {
        run.reset();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    // A picture, a preset, Save As, the network link with the viewer located,
    // Auto-Refresh and the slider, Exit: after each step what the user sees,
    // and the files byte for byte and as a parser reads them.
    void typicalRun_pictureToExit()
    {
        frmOrvinel& w = *run->window;
        const QString picture = Path("Legend.gif"), overlay = Path("legend.kml");
        const QString link = Path("legend_Network_Link.kml");
        // What a parser reads back from the overlay file.
        const auto readBack = [&picture](const char* color) {
            return QHash<QString, QString>{
                {"color", QLatin1String(color)}, {"drawOrder", "99"}, {"href", picture}};
        };
        QVERIFY(WriteAll(picture, Gif240x120()));

        // 1. The picture: path, size, caption, Save As.
        QVERIFY(Choose(picture));
        QCOMPARE(Text("lblOpen_graphic_file"), picture);
        QCOMPARE(QString(Text("txtWidth") % u' ' % Text("txtHeight")), "240 120");
        QCOMPARE(w.windowTitle(), "Overlay Graphic: Legend.gif");
        QVERIFY(Enabled("cmdSave_As"));
        QVERIFY(!Enabled("cmdSave_Refresh") && !Enabled("cmdCreate_Network_Link"));

        // 2. "Lower right": both points at 1, 0; no file written yet.
        WindowDriver::Click(Get("optPreset_8"));
        QCOMPARE(QStringList({Text("txtOverlay_x"), Text("txtOverlay_y"), Text("txtScreen_x"),
                              Text("txtScreen_y")}),
                 (QStringList{"1", "0", "1", "0"}));
        QCOMPARE(Folder().entryList(QDir::Files), QStringList{"Legend.gif"});

        // 3. Save As "legend": legend.kml written and shown; two more buttons.
        QVERIFY(SaveAs(Path("legend")));
        QCOMPARE(w.OutputFilePath(), overlay);
        QCOMPARE(Text("lblOutput_file"), overlay);
        QVERIFY(Enabled("cmdSave_Refresh") && Enabled("cmdCreate_Network_Link"));
        QVERIFY(!Enabled("chkAuto_Refresh"));
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "ffffffff"));
        QCOMPARE(ParseOverlayFile(overlay).texts, readBack("ffffffff"));

        // 4. The network link: the locate dialog asks for the viewer; the
        // stand-in really runs on the link file.
        QVERIFY(Link());
        QCOMPARE(run->services.CallsOf(Kind::FileDialog).last().title,
                 "Locate Google Earth executable file");
        QCOMPARE(ReadAll(link), LinkFileBytes(overlay));
        QCOMPARE(ParseOverlayFile(link).texts, (QHash<QString, QString>{{"href", overlay}}));
        QTRY_COMPARE(ReadAll(Record()), QFile::encodeName(link) + '\n');
        QVERIFY(Enabled("chkAuto_Refresh"));
        QCOMPARE(Get<QCheckBox>("chkAuto_Refresh")->checkState(), Qt::Unchecked);

        // 5. Ticking Auto-Refresh writes at once; then the slider to the
        // middle by keys (a click would jump to the pointer).
        QVERIFY(QFile::remove(overlay));
        WindowDriver::Click(Get("chkAuto_Refresh"));
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "ffffffff"));
        auto* slider = Get<QSlider>("sliderTransparency");
        slider->setFocus();
        QTRY_VERIFY(slider->hasFocus());
        QTest::keyClick(slider, Qt::Key_Home);
        for (int page = 0; page < 10; ++page)
            QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "80ffffff"));
        QCOMPARE(ParseOverlayFile(overlay).texts, readBack("80ffffff"));

        // 6. Exit: the link file goes, the overlay file stays, the window closes.
        WindowDriver::Click(Get("cmdExit"));
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(!QFileInfo::exists(link));
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "80ffffff"));
        QCOMPARE(ReadAll(Record()), QFile::encodeName(link) + '\n'); // started once
        QCOMPARE(run->services.MessageCount(), 0);
    }

    void picture_sizeAndCaptionThenACancelKeepsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("shown"); // width, height, caption
        QTest::newRow("capitals") << "LOGO.JPG" << QByteArray("JPEG")
                                  << "? ? Overlay Graphic: LOGO.JPG";
        QTest::newRow("jpeg") << "photo.jpeg" << QByteArray("JPEG")
                              << "? ? Overlay Graphic: photo.jpeg";
        QTest::newRow("dots") << "my.logo.bmp" << QByteArray("BMP")
                              << "31 17 Overlay Graphic: my.bmp";
    }

    void picture_sizeAndCaptionThenACancelKeepsThem()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QImage picture(31, 17, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(Path(name), format.constData()));
        for (const bool cancel : {false, true}) {
            QVERIFY(cancel ? Press("cmdOpen_graphic_file") : Choose(Path(name)));
            QCOMPARE(run->window->GraphicFilePath(), Path(name));
            QCOMPARE(Text("lblOpen_graphic_file"), Path(name));
            QTEST(QString(Text("txtWidth") % u' ' % Text("txtHeight") % u' ' %
                          run->window->windowTitle()),
                  "shown");
            QVERIFY(Enabled("cmdSave_As") && !Enabled("cmdSave_Refresh"));
        }
    }

    void saveAs_writesTheKmlNameOrKeepsTheEarlierOne_data()
    {
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
        QTest::addColumn<int>("answer");    // -1: no question; 0: No; 1: Yes
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("fails");
        const QStringList a{"a"}, none;
        QTest::newRow("other extension") << a << "b.txt" << -1 << "b.kml" << false;
        QTest::newRow("several dots") << a << "b.c.kml" << -1 << "b.kml" << false;
        QTest::newRow("dotted folder") << a << "my.maps/b.txt" << -1 << "my.maps/b.kml" << false;
        QTest::newRow("cancelled after a") << a << "" << -1 << "a.kml" << false;
        QTest::newRow("exists, Yes") << none << "old" << 1 << "old.kml" << false;
        QTest::newRow("exists, No") << none << "old" << 0 << "" << false;
        QTest::newRow("exists, No after a") << a << "old.kml" << 0 << "a.kml" << false;
        // A folder is no file to overwrite: no question, and the write fails.
        QTest::newRow("folder there") << none << "dir" << -1 << "" << true;
        QTest::newRow("write fails after a") << a << "gone/b" << -1 << "a.kml" << true;
    }

    void saveAs_writesTheKmlNameOrKeepsTheEarlierOne()
    {
        QFETCH(QStringList, earlier);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, output);
        QFETCH(bool, fails);
        QVERIFY(Folder().mkdir("my.maps") && Folder().mkdir("dir.kml"));
        QVERIFY(WriteAll(Path("old.kml"), "old"));
        QVERIFY(Prepare(earlier));
        run->services.yesNoAnswers = {answer == 1};
        QVERIFY(typed.isEmpty() ? Press("cmdSave_As") : SaveAs(Path(typed)));

        QCOMPARE(run->services.CallsOf(Kind::AskYesNo).size(), answer < 0 ? 0 : 1);
        QCOMPARE(run->services.CallsOf(Kind::Failure).size(), fails ? 1 : 0);
        if (fails)
            QVERIFY2(Only(Kind::Failure).contains(Path(typed)), qPrintable(Only(Kind::Failure)));
        const QString expected = output.isEmpty() ? QString() : Path(output);
        QCOMPARE(run->window->OutputFilePath(), expected);
        QCOMPARE(Text("lblOutput_file"), expected);
        QCOMPARE(Enabled("cmdSave_Refresh") && Enabled("cmdCreate_Network_Link"),
                 !output.isEmpty());
        QCOMPARE(ReadAll(Path("old.kml")) == "old", answer != 1);
        if (expected.isEmpty())
            return;
        QVERIFY(QFile::remove(expected)); // Save/Refresh writes where the window says
        WindowDriver::Click(Get("cmdSave_Refresh"));
        QCOMPARE(ParseOverlayFile(expected).texts.value("href"), Path("Legend.gif"));
        QCOMPARE(ReadAll(Path("old.kml")) == "old", answer != 1);
    }

    void locate_cancelWritesNothingThenAskedOnceAndRemembered()
    {
        QVERIFY(Prepare({"a"})); // two dialogs so far
        const QString link = Path("a_Network_Link.kml");
        QVERIFY(Press("cmdCreate_Network_Link"));
        QCOMPARE(run->services.CallsOf(Kind::FileDialog).size(), 3);
        QVERIFY(!QFileInfo::exists(link) && !Enabled("chkAuto_Refresh"));
        QVERIFY(run->services.CallsOf(Kind::StartProgram).isEmpty());

        QVERIFY(Press("cmdCreate_Network_Link", {Standin()}));
        QVERIFY(Press("cmdCreate_Network_Link"));
        QCOMPARE(run->services.CallsOf(Kind::FileDialog).size(), 4);
        QTRY_COMPARE(ReadAll(Record()), QFile::encodeName(link).append('\n').repeated(2));
        QVERIFY(Enabled("chkAuto_Refresh"));
        QCOMPARE(run->services.MessageCount(), 0);
    }

    void exit_deletesOnlyTheLatestLinkFile_data()
    {
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<bool>("deletedByHand");
        QTest::newRow("no link") << QStringList() << false;
        QTest::newRow("two names") << QStringList{"a", "b"} << false;
        QTest::newRow("deleted by hand") << QStringList{"a"} << true;
    }

    void exit_deletesOnlyTheLatestLinkFile()
    {
        QFETCH(QStringList, outputs);
        QFETCH(bool, deletedByHand);
        QVERIFY(Prepare());
        for (const QString& output : outputs)
            QVERIFY(SaveAs(Path(output)) && Link());
        QTRY_COMPARE(ReadAll(Record()).count('\n'), outputs.size()); // viewers done
        if (deletedByHand)
            QVERIFY(QFile::remove(run->window->NetworkLinkFilePath()));
        WindowDriver::Click(Get("cmdExit"));
        QTRY_VERIFY(!run->window->isVisible());
        QCOMPARE(Folder().entryList({"*_Network_Link.kml"}),
                 outputs.size() == 2 ? QStringList{"a_Network_Link.kml"} : QStringList());
        QCOMPARE(Folder().entryList({"?.kml"}).size(), outputs.size());
        QCOMPARE(run->services.MessageCount(), 0);
    }

    // Characters a shell, a command-line splitter or an XML writer would
    // mangle, all in one folder name.
    void oddPath_reachesTheViewerAsOneArgumentAndExitDeletesIt()
    {
        const QString odd = QStringLiteral("My Maps & 100% %TEMP% Ærøskøbing 地図");
        const QString picture = Path(odd % u"/Legend.gif"), output = Path(odd % u"/city.kml");
        const QString link = Path(odd % u"/city_Network_Link.kml");
        QVERIFY(Folder().mkdir(odd) && WriteAll(picture, Gif240x120()));
        QVERIFY(Choose(picture) && SaveAs(output) && Link());
        QTRY_COMPARE(ReadAll(Record()), link.toUtf8() + '\n');
        QCOMPARE(ReadAll(link), LinkFileBytes(output));
        QCOMPARE(ParseOverlayFile(link).texts.value("href"), output);
        QCOMPARE(ParseOverlayFile(output).texts.value("href"), picture);
        QCOMPARE(Text("txtWidth"), "240");
        WindowDriver::Click(Get("cmdExit"));
        QTRY_VERIFY(!run->window->isVisible());
        QVERIFY(!QFileInfo::exists(link) && QFileInfo::exists(output));
    }

    // A folder in the link file's place, then a viewer that cannot start: each
    // is told, and a click after the failed start offers the locate dialog.
    void link_failuresAreToldAndTheWindowCarriesOn()
    {
        const QString viewer = Path("viewer.sh"); // not executable
        const QString link = Path("a_Network_Link.kml");
        QVERIFY(WriteAll(viewer, "#!/bin/sh\n") && Prepare({"a"}) && Folder().mkdir(link));
        QVERIFY(Press("cmdCreate_Network_Link", {viewer}));
        QVERIFY2(Only(Kind::Failure).contains(link), qPrintable(Only(Kind::Failure)));
        QVERIFY(!Enabled("chkAuto_Refresh"));
        QVERIFY(run->services.CallsOf(Kind::StartProgram).isEmpty());

        QVERIFY(Folder().rmdir(link));
        run->services.calls.clear();
        QVERIFY(Press("cmdCreate_Network_Link")); // the located viewer is kept
        QVERIFY2(Only(Kind::Failure).contains(viewer), qPrintable(Only(Kind::Failure)));
        QCOMPARE(ReadAll(link), LinkFileBytes(Path("a.kml")));
        QVERIFY(Enabled("chkAuto_Refresh"));

        QVERIFY(Press("cmdCreate_Network_Link", {Standin()}));
        QTRY_COMPARE(ReadAll(Record()), QFile::encodeName(link) + '\n');
    }

    // Under Auto-Refresh a new picture waits for the next change; a refused
    // field then holds Exit back, link file and all.
    void autoRefresh_newPictureWaits_refusedFieldHoldsExit()
    {
        QVERIFY(Prepare({"a"}) && Link());
        QTRY_VERIFY(QFileInfo::exists(Record()));
        WindowDriver::Click(Get("chkAuto_Refresh"));
        const QByteArray before = ReadAll(Path("a.kml"));
        QVERIFY(WriteAll(Path("Other.gif"), Gif240x120()) && Choose(Path("Other.gif")));
        QCOMPARE(ReadAll(Path("a.kml")), before);
        auto* field = Get<QLineEdit>("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, QStringLiteral("abc")));
        QCOMPARE(ParseOverlayFile(Path("a.kml")).texts.value("href"), Path("Other.gif"));

        WindowDriver::Click(Get("cmdExit"));
        QCOMPARE(Only(Kind::DataError), "Please enter a valid number for the overlay x value");
        QVERIFY(run->window->isVisible());
        QTRY_VERIFY(field->hasFocus());
        QVERIFY(QFileInfo::exists(Path("a_Network_Link.kml")));
    }

    void newWindowHelpAndCreditLabel_startBesideThisOneAndOpenTheGuide()
    {
        QVERIFY(QFile::copy(Standin(), Path("orvinel")));
        QVERIFY(Folder().mkdir("guide") && WriteAll(Path("guide/index.html"), "<html></html>"));
        QVERIFY(Press("cmdNew_Program") && Press("cmdHelp") && Press("lblTarnwell"));
        const QList<FakeServices::Call> starts = run->services.CallsOf(Kind::StartProgram);
        QCOMPARE(starts.size(), 1);
        QCOMPARE(starts[0].program, Path("orvinel"));
        QCOMPARE(starts[0].arguments, QStringList());
        QTRY_VERIFY(QFileInfo::exists(Record())); // it really ran
        QUrl guide = QUrl::fromLocalFile(Path("guide/index.html"));
        const QList<FakeServices::Call> opened = run->services.CallsOf(Kind::OpenUrl);
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[0].url, guide);
        guide.setFragment(QStringLiteral("about"));
        QCOMPARE(opened[1].url, guide);
        QCOMPARE(run->services.MessageCount(), 0);
    }
};

QTEST_MAIN(E2eCommandPathsTest)
#include "tst_e2e_command_paths.moc"
