// The file and program commands through the real main window on real files:
// what the user sees, what is on disk and what the viewer got. Programs are
// really started; the stand-in viewer records what it was started with.

#include "QtServices.h"
#include "StartUp.h"
#include "WindowTestSupport.h"

#include <QDir>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

using Kind = FakeServices::Kind;
using namespace Qt::StringLiterals;

namespace {

// Folder modes are POSIX, and root writes anywhere.
bool ReadOnlyFoldersRefuseWrites()
{
#ifdef Q_OS_UNIX
    return geteuid() != 0;
#else
    return false;
#endif
}

// The double, but a start it lets through is really made. Never the real
// viewer, even where one is installed: the user locates the stand-in. Nor
// the preferred browser: it is taken as missing, so the guide goes to the
// default browser as where none is installed.
struct RealStartServices : FakeServices
{
    RealStartServices()
    {
        failingProgram = PlatformProfile::Current().preferredBrowser;
        failingReason = QStringLiteral("The file does not exist.");
    }
    bool OrdinaryFileExists(const QString& path) override
    {
        return path != PlatformProfile::Current().defaultViewerPath &&
               FakeServices::OrdinaryFileExists(path);
    }
    StartResult StartProgram(const QString& program, const QStringList& arguments) override
    {
        const StartResult faked = FakeServices::StartProgram(program, arguments);
        return faked.ok ? QtServices().StartProgram(program, arguments) : faked;
    }
};

} // namespace

class E2eCommandPathsTest : public QObject
{
    Q_OBJECT

private:
    // A fresh one for each test: a folder of its own, no calls yet.
    std::unique_ptr<WindowDriverWith<RealStartServices>> run;

    // As the file dialog names it.
    QString Path(const QString& name) const
    {
        return QDir::toNativeSeparators(run->folder.filePath(name));
    }
    QDir Folder() const { return {run->folder.path()}; }
    QString Record() const { return Path("viewer.args"); }
    static QString Standin() { return QStringLiteral(ORVINEL_STANDIN); }
    template <class T = QWidget> T* Get(const char* name) const { return run->Get<T>(name); }
    // Labels too, which WindowDriver's Text leaves out.
    QString Text(const char* control) const { return Get(control)->property("text").toString(); }
    bool Enabled(const char* control) const { return Get(control)->isEnabled(); }

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
    // The network link, answering a locate dialog with `located` (empty: cancel).
    bool Link(const QStringList& located = {Standin()})
    {
        return Press("cmdCreate_Network_Link", located);
    }

private Q_SLOTS:
    void init()
    {
        run = std::make_unique<WindowDriverWith<RealStartServices>>();
        qputenv("ORVINEL_STANDIN_RECORD", QFile::encodeName(Record()));
        run->services.programFolder = run->folder.path();
        QVERIFY(run->Open());
    }

    void cleanup()
    {
        QVERIFY(run->Close()); // the window before its folder
        run.reset();
    }

    void saveAs_writesTheKmlNameOrKeepsTheEarlierOne_data()
    {
        QTest::addColumn<QString>("earlier"); // the output file before; empty: none yet
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");     // -1: no question; 0: No; 1: Yes
        QTest::addColumn<QString>("output"); // the output file after
        QTest::addColumn<bool>("noRoom");    // under a file-size limit too small for any write
        const QString a = QStringLiteral("a");
        QTest::newRow("several dots") << a << "b.c.kml" << -1 << "b.kml" << false;
        QTest::newRow("dotted folder") << a << "my.maps/b.txt" << -1 << "my.maps/b.kml" << false;
        QTest::newRow("exists, Yes") << a << "old" << 1 << "old.kml" << false;
        QTest::newRow("exists, No") << a << "old.kml" << 0 << "a.kml" << false;
        // Failed writes: the earlier output file, or none, stays in force. A
        // folder is no file to overwrite: no question. The start-up keeps the
        // size limit's signal from ending the program, and the file keeps its bytes.
        QTest::newRow("exists, Yes, no room") << QString() << "old" << 1 << "" << true;
        for (const char* earlier : {"a", ""}) {
            const QString after = QLatin1String(*earlier ? "a.kml" : "");
            QTest::addRow("folder there, earlier '%s'", earlier)
                << earlier << "dir" << -1 << after << false;
            QTest::addRow("folder gone, earlier '%s'", earlier)
                << earlier << "gone/b" << -1 << after << false;
            if (ReadOnlyFoldersRefuseWrites())
                QTest::addRow("read-only folder, earlier '%s'", earlier)
                    << earlier << "locked/b" << -1 << after << false;
        }
    }

    // Then what the user sees, and where the next auto-refresh writes.
    void saveAs_writesTheKmlNameOrKeepsTheEarlierOne()
    {
        QFETCH(QString, earlier);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, output);
        QFETCH(bool, noRoom);
        PrepareProcess();
        for (const QString& folder : QStringList{"my.maps", "dir.kml", "locked"})
            QVERIFY(Folder().mkdir(folder));
        QVERIFY(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(WriteAll(Path("old.kml"), "old") && WriteAll(Path("Legend.gif")));
        QVERIFY(Choose(Path("Legend.gif")) && (earlier.isEmpty() || SaveAs(Path(earlier))));
        run->services.yesNoAnswers = {answer == 1};
#ifdef Q_OS_UNIX
        rlimit before{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit limit = before;
        limit.rlim_cur = noRoom ? 0 : before.rlim_cur;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool pressed = SaveAs(Path(typed));
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &before), 0);
#else
        if (noRoom)
            QSKIP("a file size limit (ulimit -f) is POSIX");
        const bool pressed = SaveAs(Path(typed));
#endif
        QVERIFY(pressed && run->window->isVisible());

        QCOMPARE(run->Only(Kind::AskYesNo) ==
                     u"File already exists - do you want to overwrite the existing file?",
                 answer >= 0);
        const bool failed = noRoom || QStringList{"dir", "gone/b", "locked/b"}.contains(typed);
        QCOMPARE(run->Only(Kind::Failure).contains(Path(Commands::OutputPathFor(typed))), failed);
        QCOMPARE(run->Only(Kind::Failure).contains(u"could be written"), noRoom);
        const QString shown = output.isEmpty() ? QString() : Path(output);
        QCOMPARE(Text("lblOutput_file"), shown);
        QCOMPARE(run->window->OutputFilePath(), shown);
        QCOMPARE(Enabled("cmdSave_Refresh"), !shown.isEmpty());
        QCOMPARE(Enabled("cmdCreate_Network_Link"), !shown.isEmpty());
        QCOMPARE(run->Bytes(Path("old.kml")) == "old", answer != 1 || noRoom);
        if (shown.isEmpty())
            return;
        QVERIFY(Link());
        WindowDriver::Click(Get("chkAuto_Refresh"));
        QVERIFY(WindowDriver::Retype(Get("txtOverlay_title"), QStringLiteral("next")));
        QCOMPARE(run->ReadBack(shown).value("name"), "next");
    }

    // A picture (a cancelled second choice keeps it), a preset and Save As,
    // byte for byte; then locating is cancelled, a viewer that cannot start is
    // told and forgotten, and the stand-in is located once and remembered for
    // a second link in a folder whose name a shell, a command-line splitter or
    // an XML writer would mangle. Exit deletes only that later link file.
    void pictureToExit_locateOnceRememberedOddPaths()
    {
        const QString viewer = Path("viewer.sh"); // not executable
        const QString picture = Path("Legend.gif");
        const QString link = Path("a_Network_Link.kml");
        const QString odd = u"My Maps & 100% %TEMP% Ærøskøbing 地図/"_s;
        const QString output = Path(odd + "city.kml");
        const QString oddLink = Path(odd + "city_Network_Link.kml");
        const QString oddPicture = Path(odd + "Legend.gif");
        QVERIFY(WriteAll(viewer, "#!/bin/sh\n") && WriteAll(picture));
        for (const bool cancel : {false, true}) {
            QVERIFY(cancel ? Press("cmdOpen_graphic_file") : Choose(picture));
            QCOMPARE(Text("lblOpen_graphic_file"), picture);
            QCOMPARE(QString(Text("txtWidth") % u' ' % Text("txtHeight")), "240 120");
            QCOMPARE(run->window->windowTitle(), "Overlay Graphic: Legend.gif");
        }
        WindowDriver::Click(Get("optPreset_8"));             // "Lower right"
        QCOMPARE(Folder().entryList(QDir::Files).size(), 2); // no file written yet
        QVERIFY(SaveAs(Path("a")));
        const QHash<QString, QString> a = run->ReadBack(Path("a.kml"));
        QCOMPARE(QStringList({a["href"], a["color"], a["overlayXY@x"], a["overlayXY@y"],
                              a["screenXY@x"], a["screenXY@y"]}),
                 QStringList({picture, "ffffffff", "1", "0", "1", "0"}));
        QCOMPARE(Folder().entryList(QDir::Files).size(), 3); // no temporary file is left

        QVERIFY(Link({}));
        QVERIFY(!QFileInfo::exists(link) && !Enabled("chkAuto_Refresh"));
        QVERIFY(Link({viewer}));
        QVERIFY(run->Only(Kind::Failure).contains(viewer));
        QCOMPARE(run->ReadBack(link).value("href"), QDir::fromNativeSeparators(Path("a.kml")));
        QVERIFY(Enabled("chkAuto_Refresh"));
        QVERIFY(Link());
        // The viewer starts detached: without the wait two starts may record out of order.
        QTRY_COMPARE(run->Bytes(Record()), link.toUtf8() + '\n');
        QVERIFY(Folder().mkdir(odd) && WriteAll(oddPicture));
        QVERIFY(Choose(oddPicture) && SaveAs(output) && Link({}));
        const QString pick = u"Select graphic file for overlay"_s;
        const QString save = u"Save KML Screen Overlay File"_s;
        const QString locate = u"Locate Google Earth executable file"_s;
        QCOMPARE(run->Calls(Kind::FileDialog),
                 (QStringList{pick, pick, save, locate, locate, locate, pick, save}));
        QTRY_COMPARE(run->Bytes(Record()), link.toUtf8() + '\n' + oddLink.toUtf8() + '\n');
        QCOMPARE(run->ReadBack(oddLink).value("href"), QDir::fromNativeSeparators(output));
        QCOMPARE(run->ReadBack(output).value("href"), oddPicture);

        WindowDriver::Click(Get("cmdExit"));
        QTRY_VERIFY(!run->window->isVisible());
        QCOMPARE(Folder().entryList({"*_Network_Link.kml"}), QStringList{"a_Network_Link.kml"});
        QVERIFY(!QFileInfo::exists(oddLink) && QFileInfo::exists(output));
        QCOMPARE(run->services.MessageCount(), 1);
    }

    // New Program starts a copy beside this one, Help opens the guide. Under
    // Auto-Refresh a new picture waits for the next change. A refused field
    // keeps the focus through a click on the credit label, which is no
    // command; it holds Exit back, link file and all; once mended, Exit
    // closes quietly though the link file was deleted by hand meanwhile.
    void commandsAndExit_heldByARefusedFieldThenQuietAfterTheLinkWasDeleted()
    {
        const QString second = run->folder.path() + PlatformProfile::Current().secondProgramSuffix;
        QVERIFY(QFile::copy(Standin(), second));
        QVERIFY(Folder().mkdir("guide") && WriteAll(Path("guide/index.html"), "<html></html>"));
        QVERIFY(Press("cmdNew_Program") && Press("cmdHelp"));
        QStringList started{second};
        if (const QString browser = PlatformProfile::Current().preferredBrowser; !browser.isEmpty())
            started << browser;
        QCOMPARE(run->Calls(Kind::StartProgram), started);
        QTRY_VERIFY(QFileInfo::exists(Record())); // it really ran
        const QString guide = QUrl::fromLocalFile(Path("guide/index.html")).toString();
        QCOMPARE(run->Calls(Kind::OpenUrl), QStringList{guide});
        run->services.calls.clear();

        QVERIFY(WriteAll(Path("Legend.gif")) && Choose(Path("Legend.gif")) && SaveAs(Path("a")));
        QVERIFY(Link());
        WindowDriver::Click(Get("chkAuto_Refresh"));
        const QByteArray before = run->Bytes(Path("a.kml"));
        QVERIFY(WriteAll(Path("Other.gif")) && Choose(Path("Other.gif")));
        QCOMPARE(run->Bytes(Path("a.kml")), before);
        auto* field = Get<QLineEdit>("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, QStringLiteral("abc")));
        QCOMPARE(run->ReadBack(Path("a.kml")).value("href"), Path("Other.gif"));
        QVERIFY(Press("lblTarnwell"));
        QCOMPARE(run->Calls(Kind::OpenUrl), (QStringList{guide + "#about"}));
        QVERIFY(field->hasFocus() && run->services.MessageCount() == 0);

        WindowDriver::Click(Get("cmdExit"));
        QCOMPARE(run->Only(Kind::DataError), "Please enter a valid number for the overlay x value");
        QTRY_VERIFY(field->hasFocus());
        QVERIFY(run->window->isVisible() && QFile::remove(Path("a_Network_Link.kml")));
        QVERIFY(WindowDriver::Retype(field, QStringLiteral("0")));
        WindowDriver::Click(Get("cmdExit"));
        QTRY_VERIFY(!run->window->isVisible());
        QCOMPARE(run->services.MessageCount(), 1);
    }
};

QTEST_MAIN(E2eCommandPathsTest)
#include "tst_e2e_command_paths.moc"
