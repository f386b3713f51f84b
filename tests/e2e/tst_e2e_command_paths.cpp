// The file and program commands through the real window on real files: what
// the user sees, what is on disk and what the viewer got. The commands' own
// rules are tested in depth in tests/commands.

#include "E2eSupport.h"

#include <QBuffer>
#include <QImage>

using Kind = FakeServices::Kind;

namespace {

QByteArray Picture(const char* format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

} // namespace

class E2eCommandPathsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<E2eWindow> run;

    QString Path(const QString& name) const { return run->Path(name); }
    QString Text(const char* control) const
    {
        QWidget* widget = run->Get(control);
        auto* label = qobject_cast<QLabel*>(widget);
        return label ? label->text() : qobject_cast<QLineEdit*>(widget)->text();
    }
    bool Enabled(const char* control) const { return run->Get(control)->isEnabled(); }
    // Legend.gif chosen, and Save As to each of `outputs`.
    bool Prepare(const QStringList& outputs = {})
    {
        bool done = WriteAll(Path("Legend.gif"), Gif240x120()) && run->Choose(Path("Legend.gif"));
        for (const QString& output : outputs)
            done = done && run->SaveAs(Path(output));
        return done;
    }
    QString OnlyFailure() const
    {
        const QList<FakeServices::Call> failures = run->services.CallsOf(Kind::Failure);
        return failures.size() == 1 ? failures[0].text : QStringLiteral("(not one failure)");
    }

private Q_SLOTS:
    void init()
    {
        run = std::make_unique<E2eWindow>();
        QVERIFY(run->Open());
        // Never the real viewer, even where one is installed: the stand-in.
        run->window->SetGoogleEarthPath(Path("no viewer here"));
    }

    void cleanup()
    {
        run.reset();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    void picture_sizeAndCaptionThenACancelKeepsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("caption");
        const QByteArray jpeg = Picture("JPEG", 64, 48);
        QTest::newRow("capitals") << "LOGO.JPG" << jpeg << "? ?" << QString("LOGO.JPG");
        QTest::newRow("jpeg") << "photo.jpeg" << jpeg << "? ?" << QString("photo.jpeg");
        QTest::newRow("dots") << "my.logo.bmp" << Picture("BMP", 31, 17) << "31 17"
                              << QString("my.bmp");
    }

    void picture_sizeAndCaptionThenACancelKeepsThem()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, size);
        QFETCH(QString, caption);
        QVERIFY(WriteAll(Path(name), bytes));
        for (const bool cancel : {false, true}) {
            QVERIFY(cancel ? run->Press("cmdOpen_graphic_file") : run->Choose(Path(name)));
            QCOMPARE(run->window->GraphicFilePath(), Path(name));
            QCOMPARE(Text("lblOpen_graphic_file"), Path(name));
            QCOMPARE(QString(Text("txtWidth") % u' ' % Text("txtHeight")), size);
            QCOMPARE(run->window->windowTitle(), QString(u"Overlay Graphic: " % caption));
            QVERIFY(Enabled("cmdSave_As") && !Enabled("cmdSave_Refresh"));
        }
        QCOMPARE(QDir(run->folder.path()).entryList(QDir::Files), QStringList{name});
    }

    void newPicture_whileAutoRefreshIsTickedWaitsForTheNextChange()
    {
        QVERIFY(Prepare({"a"}) && run->Link());
        QTRY_VERIFY(QFileInfo::exists(run->Record()));
        WindowDriver::Click(run->Get("chkAuto_Refresh"));
        const QByteArray before = ReadAll(Path("a.kml"));
        QVERIFY(WriteAll(Path("Other.gif"), Gif240x120()) && run->Choose(Path("Other.gif")));
        QCOMPARE(ReadAll(Path("a.kml")), before);
        QVERIFY(WindowDriver::Retype(run->Get("txtDraw_order"), QStringLiteral("7")));
        QCOMPARE(ParseOverlayFile(Path("a.kml")).texts.value("href"), Path("Other.gif"));
    }

    void saveAs_writesTheKmlNameOrKeepsTheEarlierOne_data()
    {
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // -1: no question; 0: No; 1: Yes
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("fails");
        const QStringList a{"a"};
        QTest::newRow("other extension") << a << "b.txt" << -1 << "b.kml" << false;
        QTest::newRow("several dots") << a << "b.c.kml" << -1 << "b.kml" << false;
        QTest::newRow("dotted folder") << a << "my.maps/b.txt" << -1 << "my.maps/b.kml" << false;
        QTest::newRow("exists, Yes") << QStringList() << "old" << 1 << "old.kml" << false;
        QTest::newRow("exists, No") << QStringList() << "old" << 0 << "" << false;
        QTest::newRow("exists, No after a") << a << "old.kml" << 0 << "a.kml" << false;
        QTest::newRow("write fails") << QStringList() << "gone/b" << -1 << "" << true;
        QTest::newRow("write fails after a") << a << "gone/b" << -1 << "a.kml" << true;
    }

    void saveAs_writesTheKmlNameOrKeepsTheEarlierOne()
    {
        QFETCH(QStringList, earlier);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, output);
        QFETCH(bool, fails);
        QVERIFY(QDir(run->folder.path()).mkdir(QStringLiteral("my.maps")));
        QVERIFY(WriteAll(Path("old.kml"), "old"));
        QVERIFY(Prepare(earlier));
        run->services.yesNoAnswers = {answer == 1};
        QVERIFY(run->SaveAs(Path(typed)));

        const QList<FakeServices::Call> asked = run->services.CallsOf(Kind::AskYesNo);
        QCOMPARE(asked.size(), answer < 0 ? 0 : 1);
        const QString expected = output.isEmpty() ? QString() : Path(output);
        QCOMPARE(run->window->OutputFilePath(), expected);
        QCOMPARE(Text("lblOutput_file"), expected);
        QCOMPARE(Enabled("cmdSave_Refresh") && Enabled("cmdCreate_Network_Link"),
                 !output.isEmpty());
        QCOMPARE(ReadAll(Path("old.kml")) == "old", answer != 1);
        QVERIFY(!QFileInfo::exists(Path(typed)) || typed.endsWith(u".kml"));
        if (fails)
            QVERIFY2(OnlyFailure().contains(Path("gone/b.kml")), qPrintable(OnlyFailure()));
        if (expected.isEmpty())
            return;
        QVERIFY(QFile::remove(expected)); // Save/Refresh writes where the window says
        WindowDriver::Click(run->Get("cmdSave_Refresh"));
        QCOMPARE(ParseOverlayFile(expected).texts.value("href"), Path("Legend.gif"));
        QCOMPARE(ReadAll(Path("old.kml")) == "old", answer != 1);
    }

    void locate_cancelWritesNothingThenAskedOnceAndRemembered()
    {
        QVERIFY(Prepare({"a"}));
        const QString link = Path("a_Network_Link.kml");
        QVERIFY(run->Press("cmdCreate_Network_Link"));
        QCOMPARE(run->services.CallsOf(Kind::FileDialog).last().title,
                 "Locate Google Earth executable file");
        QVERIFY(!QFileInfo::exists(link) && !Enabled("chkAuto_Refresh"));
        QVERIFY(run->services.CallsOf(Kind::StartProgram).isEmpty());

        const qsizetype dialogs = run->services.CallsOf(Kind::FileDialog).size();
        QVERIFY(run->Press("cmdCreate_Network_Link", {E2eWindow::Standin()}));
        QVERIFY(run->Press("cmdCreate_Network_Link"));
        QCOMPARE(run->services.CallsOf(Kind::FileDialog).size(), dialogs + 1);
        QTRY_COMPARE(ReadAll(run->Record()), QFile::encodeName(link).append('\n').repeated(2));
        QVERIFY(Enabled("chkAuto_Refresh"));
        QCOMPARE(run->services.MessageCount(), 0);
    }

    void exit_deletesOnlyTheLatestLinkFile_data()
    {
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<bool>("deletedByHand");
        QTest::addColumn<QStringList>("linksLeft");
        QTest::newRow("no link") << QStringList() << false << QStringList();
        QTest::newRow("one link") << QStringList{"a"} << false << QStringList();
        QTest::newRow("two names")
            << QStringList{"a", "b"} << false << QStringList{"a_Network_Link.kml"};
        QTest::newRow("deleted by hand") << QStringList{"a"} << true << QStringList();
    }

    void exit_deletesOnlyTheLatestLinkFile()
    {
        QFETCH(QStringList, outputs);
        QFETCH(bool, deletedByHand);
        QFETCH(QStringList, linksLeft);
        QVERIFY(Prepare());
        for (const QString& output : outputs)
            QVERIFY(run->SaveAs(Path(output)) && run->Link());
        QTRY_COMPARE(ReadAll(run->Record()).count('\n'), outputs.size()); // viewers done
        if (deletedByHand)
            QVERIFY(QFile::remove(run->window->NetworkLinkFilePath()));
        WindowDriver::Click(run->Get("cmdExit"));
        QTRY_VERIFY(!run->window->isVisible());
        const QDir folder(run->folder.path());
        QCOMPARE(folder.entryList({QStringLiteral("*_Network_Link.kml")}), linksLeft);
        QCOMPARE(folder.entryList({QStringLiteral("?.kml")}).size(), outputs.size());
        QCOMPARE(run->services.MessageCount(), 0);
    }

    void oddPaths_reachTheViewerAsOneArgument_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("spaces") << "My Maps";
        QTest::newRow("ampersand") << "A&B";
        QTest::newRow("percent") << "100% %TEMP%";
        QTest::newRow("non-ASCII") << QStringLiteral("Ærøskøbing 地図");
    }

    void oddPaths_reachTheViewerAsOneArgument()
    {
        QFETCH(QString, folder);
        QVERIFY(QDir(run->folder.path()).mkdir(folder));
        const QString picture = Path(folder % u"/Legend.gif");
        const QString output = Path(folder % u"/city.kml");
        const QString link = Path(folder % u"/city_Network_Link.kml");
        QVERIFY(WriteAll(picture, Gif240x120()));
        QVERIFY(run->Choose(picture) && run->SaveAs(output) && run->Link());
        QTRY_COMPARE(ReadAll(run->Record()), link.toUtf8() + '\n');
        QCOMPARE(ReadAll(link), LinkFileBytes(output));
        QCOMPARE(ParseOverlayFile(link).texts.value("href"), output);
        QCOMPARE(ParseOverlayFile(output).texts.value("href"), picture);
        QCOMPARE(Text("txtWidth"), "240");
    }

    void viewerThatCannotStart_isToldAndTheLinkStays()
    {
        const QString viewer = Path("viewer.sh"); // not executable
        QVERIFY(WriteAll(viewer, "#!/bin/sh\n") && Prepare({"a"}));
        QVERIFY(run->Press("cmdCreate_Network_Link", {viewer}));
        QVERIFY2(OnlyFailure().contains(viewer), qPrintable(OnlyFailure()));
        QCOMPARE(ReadAll(Path("a_Network_Link.kml")), LinkFileBytes(Path("a.kml")));
        QVERIFY(Enabled("chkAuto_Refresh"));
    }

    void exit_refusedFieldKeepsTheWindowOpen()
    {
        QVERIFY(Prepare({"a"}) && run->Link());
        QTRY_VERIFY(QFileInfo::exists(run->Record()));
        auto* field = run->Get<QLineEdit>("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, QStringLiteral("abc")));
        WindowDriver::Click(run->Get("cmdExit"));
        const QList<FakeServices::Call> errors = run->services.CallsOf(Kind::DataError);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].text, "Please enter a valid number for the overlay x value");
        QVERIFY(run->window->isVisible());
        QTRY_VERIFY(field->hasFocus());
        QVERIFY(QFileInfo::exists(Path("a_Network_Link.kml")));
    }

    void newWindowHelpAndCreditLabel_startBesideThisOneAndOpenTheGuide()
    {
        QVERIFY(QFile::copy(E2eWindow::Standin(), Path("orvinel")));
        QVERIFY(QDir(run->folder.path()).mkdir(QStringLiteral("guide")));
        QVERIFY(WriteAll(Path("guide/index.html"), "<html></html>"));
        QVERIFY(run->Press("cmdNew_Program") && run->Press("cmdHelp") && run->Press("lblTarnwell"));
        const QList<FakeServices::Call> starts = run->services.CallsOf(Kind::StartProgram);
        QCOMPARE(starts.size(), 1);
        QCOMPARE(starts[0].program, Path("orvinel"));
        QCOMPARE(starts[0].arguments, QStringList());
        QTRY_VERIFY(QFileInfo::exists(run->Record())); // it really ran
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
