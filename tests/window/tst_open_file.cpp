// Opening overlay files in the real window, on real files in a temporary
// folder: by the File menu and its shortcut, by a drop and from the command
// line; what the controls show, what is adopted, and that opening writes
// nothing.

#include "../preview/PreviewTestSupport.h"
#include "CommandLine.h"
#include "KmlSplice.h"
#include "KmlWriter.h"
#include "OverlayDocument.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

using Kind = FakeServices::Kind;

namespace {

// Every field away from its start value; a tinted, half transparent colour
// between two slider places.
OverlaySettings Legend(const QString& picture)
{
    Make legend = Make()
                      .overlay("1", "0")
                      .screen("20", "0.02", "insetPixels", "fraction")
                      .turnAt("0.5", "0.5")
                      .size("Maintain native size", "120", "fraction", "pixels")
                      .angle("-12.5")
                      .color("7f102030")
                      .picture(picture);
    legend.s.title = QStringLiteral("Rainfall <mm> & \"snow\" \u00e9t\u00e9");
    legend.s.drawOrder = QStringLiteral("7");
    return legend;
}

} // namespace

class OpenFileTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    QString Path(const QString& name) const { return driver.folder.filePath(name); }
    // As the picture dialog names it, so as files made on this platform hold it.
    QString Picture() const { return QDir::toNativeSeparators(Path(QStringLiteral("Legend.gif"))); }

    // `settings` as Orvinel writes them, at `name` in the folder; its path.
    QString WriteOverlay(const QString& name, const OverlaySettings& settings) const
    {
        const QString path = Path(name);
        return WriteAll(path, Overlay::OverlayFileBytes(settings).bytes) ? path : QString();
    }

    // Legend's file in a document that also holds `count` placemarks.
    QByteArray WithPlacemarks(int count, const QByteArray& description = {}) const
    {
        QByteArray bytes = Overlay::OverlayFileBytes(Legend(Picture())).bytes;
        const QByteArray many =
            QByteArray("<Placemark><name>Gauge</name></Placemark>\n").repeated(count);
        bytes.replace("<ScreenOverlay>",
                      QByteArray("<Document>" + many + "<ScreenOverlay>" + description));
        bytes.replace("</ScreenOverlay>", "</ScreenOverlay></Document>");
        return bytes;
    }

    // Clicks a menu's title, then its entry, as the mouse does.
    void ChooseFromMenu(const char* menuName, const char* actionName) const
    {
        auto* bar = driver.Get<QMenuBar>("menuBar");
        auto* menu = driver.Get<QMenu>(menuName);
        auto* action = driver.Get<QAction>(actionName);
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }

    // Drags `path` over `target` and drops it there, as a file manager does;
    // whether the window took the drag.
    static bool Drop(QWidget* target, const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    // Auto-Refresh ticked, its first write made and the file removed again,
    // with the count of writes starting from there.
    bool TickedWithNoFile()
    {
        const bool ticked = driver.Tick();
        driver.RemoveOutputFile();
        driver.writesBefore = driver.services.WritesMade();
        return ticked;
    }

    bool Enabled(const char* name) const { return driver.Get(name)->isEnabled(); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(driver.Open(true));
        QVERIFY(WriteAll(Picture(), kGif));
    }
    void cleanup() { QVERIFY(driver.Close()); }

    // With Auto-Refresh ticked: the file's values in every control, the file
    // adopted as the output file, and not one write until the user changes
    // something. The Open is one undo step, whose undo keeps the adopted
    // file; then the same settings write back the same bytes, and the slider
    // changes only the colour's alpha digits.
    void open_fillsEveryControl_writesNothing_andAdoptsTheFile_data()
    {
        QTest::addColumn<bool>("byShortcut");
        QTest::addColumn<int>("preset"); // the one the file's places match
        QTest::newRow("File menu") << false << -1;
        QTest::newRow("Ctrl+O, lower right") << true << 8;
    }
    void open_fillsEveryControl_writesNothing_andAdoptsTheFile()
    {
        QFETCH(bool, byShortcut);
        QFETCH(int, preset);
        QVERIFY(TickedWithNoFile());
        OverlaySettings before = driver.window->Snapshot();
        Make legend;
        legend.s = Legend(Picture());
        OverlaySettings expected = preset < 0 ? legend : legend.screen("1", "0");
        const QString file = WriteOverlay(QStringLiteral("rain.kml"), expected);
        const QByteArray bytes = ReadAll(file);
        driver.services.fileDialogAnswers = {file};
        if (byShortcut)
            QTest::keyClick(driver.window.get(), Qt::Key_O, Qt::ControlModifier);
        else
            ChooseFromMenu("menuFile", "mnuOpenOverlayFile");

        QTRY_VERIFY(driver.services.fileDialogAnswers.empty());
        expected.outputFile = QDir::toNativeSeparators(file); // as the dialog names it
        QCOMPARE(driver.window->Snapshot(), expected);
        QCOMPARE(driver.Shown(), driver.Shown(&expected));
        QCOMPARE(driver.Writes(), 0);
        QVERIFY(!driver.OutputFileExists()); // nor to the earlier output file
        QCOMPARE(ReadAll(file), bytes);
        QCOMPARE(driver.Messages(), QStringList());

        QCOMPARE(driver.Get<QLabel>("lblOutput_file")->text(), expected.outputFile);
        QCOMPARE(driver.Get<QLabel>("lblOpen_graphic_file")->text(), Picture());
        QCOMPARE(driver.window->windowTitle(), "Overlay Graphic: Legend.gif");
        QCOMPARE(driver.Text("txtWidth") + u'x' + driver.Text("txtHeight"), "240x120");
        QVERIFY(Enabled("cmdSave_As") && Enabled("cmdSave_Refresh") &&
                Enabled("cmdCreate_Network_Link"));
        QCOMPARE(driver.Get<QSlider>("sliderTransparency")->value(), 50);
        QCOMPARE(driver.window->findChild<QButtonGroup*>()->checkedId(), preset);

        auto* undo = driver.Get<QAction>("mnuUndo");
        QCOMPARE(undo->iconText(), "Undo Open rain.kml");
        undo->trigger();
        before.outputFile = expected.outputFile;
        QCOMPARE(driver.window->Snapshot(), before);
        driver.Get<QAction>("mnuRedo")->trigger();
        WindowDriver::Click(driver.Get("cmdSave_Refresh"));
        QCOMPARE(ReadAll(driver.Written(file)), bytes);
        auto* slider = driver.Get<QSlider>("sliderTransparency");
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(ParseKmlFile(driver.Written(file)).value("color"), "82102030");
    }

    // A file holding more than the overlay is edited in place: it becomes the
    // output file with nothing to tell, and every write changes only the
    // overlay's elements that changed, as a real XML parser reads them.
    void open_fileHoldingMore_isEditedInPlace()
    {
        QVERIFY(driver.Tick());
        const QByteArray bytes = WithPlacemarks(12, "<description>Mine</description>");
        const QString file = Path(QStringLiteral("survey.kml"));
        QVERIFY(WriteAll(file, bytes));
        driver.window->OpenOverlayFile(file);

        QCOMPARE(driver.Messages(), QStringList());
        OverlaySettings expected = Legend(Picture());
        expected.outputFile = file; // as the window was given it
        QCOMPARE(driver.window->Snapshot(), expected);
        QVERIFY(driver.Get<QCheckBox>("chkAuto_Refresh")->isChecked());
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QStringLiteral("Rain")));
        QByteArray edited = bytes;
        edited.replace(Overlay::ValueElement({}, "name", Legend({}).title).toUtf8(),
                       "<name>Rain</name>");
        QCOMPARE(ReadAll(driver.Written(file)), edited);
    }

    // A file of several overlays asks which to edit, by title or number and
    // folder; the choice is edited in place, and File > Choose Screen
    // Overlay switches, asking first about changes in no file.
    void open_severalOverlays_asksWhich()
    {
        const QByteArray second =
            "<Folder><name>Logos</name><ScreenOverlay><color>ff000000</color></ScreenOverlay>"
            "</Folder>";
        QByteArray bytes = WithPlacemarks(1);
        bytes.replace("</Document>", QByteArray(second + "</Document>"));
        const QString file = Path(QStringLiteral("project.kml"));
        QVERIFY(WriteAll(file, bytes));
        auto* choose = driver.Get<QAction>("mnuChooseScreenOverlay");
        QVERIFY(!choose->isEnabled());
        const OverlaySettings before = driver.window->Snapshot();

        driver.window->OpenOverlayFile(file); // cancelled
        QCOMPARE(driver.services.CallsOf(Kind::AskOverlay).size(), 1);
        const FakeServices::Call asked = driver.services.CallsOf(Kind::AskOverlay).constFirst();
        QCOMPARE(asked.title, "project.kml");
        QCOMPARE(asked.text,
                 Legend({}).title + "\nScreen overlay 2 (no title) - in Logos\nchosen: 0");
        QCOMPARE(driver.window->Snapshot(), before);

        driver.services.overlayAnswers = {1};
        driver.window->OpenOverlayFile(file);
        QCOMPARE(driver.window->Snapshot().colour, "ff000000");
        QVERIFY(choose->isEnabled());
        QVERIFY(WindowDriver::Retype(driver.Get("txtDraw_order"), QStringLiteral("3")));
        WindowDriver::Click(driver.Get("cmdSave_Refresh"));
        QByteArray edited = bytes;
        edited.replace("<color>ff000000</color>",
                       "<color>ff000000</color><drawOrder>3</drawOrder>");
        QCOMPARE(ReadAll(file), edited);

        QVERIFY(WindowDriver::Retype(driver.Get("txtDraw_order"), QStringLiteral("4")));
        driver.services.saveChangesAnswers = {SaveChoice::Cancel, SaveChoice::Discard};
        driver.services.overlayAnswers = {0};
        choose->trigger();
        QCOMPARE(driver.window->Snapshot().drawOrder, "4");
        choose->trigger();
        QCOMPARE(driver.services.CallsOf(Kind::AskSaveChanges).size(), 2);
        QCOMPARE(driver.services.CallsOf(Kind::AskSaveChanges).constLast().text,
                 "Save changes to project.kml before choosing another screen overlay?");
        QCOMPARE(driver.services.CallsOf(Kind::AskOverlay).constLast().text.right(1), "1");
        QCOMPARE(driver.window->Snapshot().title, Legend({}).title);
        QCOMPARE(ReadAll(file), edited);
    }

    // A file another program wrote after it was opened is not written over
    // unasked: Auto-Refresh leaves it and says why once, Save/Refresh asks.
    // Its time touched alone, or the bytes Orvinel wrote, are no change.
    void open_fileChangedByAnother_notWrittenOverUnasked()
    {
        QVERIFY(driver.Tick());
        const QString file = Path(QStringLiteral("survey.kml"));
        QVERIFY(WriteAll(file, WithPlacemarks(2)));
        driver.window->OpenOverlayFile(file);
        const QByteArray theirs = WithPlacemarks(3);
        QVERIFY(WriteAll(file, theirs));
        QVERIFY(WindowDriver::Retype(driver.Get("txtDraw_order"), QStringLiteral("9")));
        QTest::keyClicks(driver.Get("txtDraw_order"), "9");
        QCOMPARE(ReadAll(driver.Written(file)), theirs);
        QCOMPARE(driver.Messages().size(), 1);
        QVERIFY2(driver.Messages().constFirst().contains("another program changed it"),
                 qPrintable(driver.Messages().constFirst()));

        driver.services.yesNoAnswers = {false, true};
        for (const bool overwrite : {false, true}) {
            WindowDriver::Click(driver.Get("cmdSave_Refresh"));
            QVERIFY(driver.services.CallsOf(Kind::AskYesNo)
                        .constLast()
                        .text.startsWith(file + " was changed by another program"));
            QCOMPARE(ReadAll(file).contains("<drawOrder>99</drawOrder>"), overwrite);
        }

        QFile touched(file);
        QVERIFY(touched.open(QIODevice::ReadWrite) &&
                touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
        touched.close();
        QVERIFY(WindowDriver::Retype(driver.Get("txtDraw_order"), QStringLiteral("8")));
        QVERIFY(ReadAll(driver.Written(file)).contains("<drawOrder>8</drawOrder>"));
        QCOMPARE(driver.services.CallsOf(Kind::AskYesNo).size(), 2);
    }

    // Adding an overlay to the file and taking one out are one undo step
    // each; what the file holds follows with Save/Refresh, the rest of it
    // byte for byte, and undoing both writes the file as it was.
    void addAndRemoveOverlays_oneUndoStepEach()
    {
        QByteArray bytes = WithPlacemarks(1);
        bytes.replace("</Document>", "<ScreenOverlay><name>Logo</name></ScreenOverlay></Document>");
        const QString file = Path(QStringLiteral("project.kml"));
        QVERIFY(WriteAll(file, bytes));
        driver.services.overlayAnswers = {0};
        driver.window->OpenOverlayFile(file);
        auto* remove = driver.Get<QAction>("mnuRemoveThisScreenOverlay");
        const auto labels = [&] {
            return Overlay::ReadKmlInPlace(ReadAll(file)).labels;
        };
        const auto save = [&] {
            WindowDriver::Click(driver.Get("cmdSave_Refresh"));
        };

        driver.Get<QAction>("mnuAddScreenOverlaytoThisFile")->trigger();
        QCOMPARE(driver.Get<QAction>("mnuUndo")->iconText(), "Undo Add Screen Overlay");
        OverlaySettings start = OverlayDocument::StartSettings();
        start.outputFile = file;
        QCOMPARE(driver.window->Snapshot(), start);
        save();
        QCOMPARE(labels(), (QStringList{Legend({}).title, "Logo", "Screen overlay 3 (no title)"}));
        QVERIFY(ReadAll(file).startsWith(bytes.left(bytes.indexOf("</Document>"))));

        remove->trigger(); // the new one: the one before it is edited next
        QCOMPARE(driver.window->Snapshot().title, "Logo");
        save();
        QCOMPARE(ReadAll(file), bytes);
        remove->trigger();
        save();
        QCOMPARE(labels(), QStringList{Legend({}).title});
        QVERIFY(!remove->isEnabled());

        for (int undo = 0; undo < 3; ++undo)
            driver.Get<QAction>("mnuUndo")->trigger();
        save();
        QCOMPARE(ReadAll(file), bytes);
        QCOMPARE(driver.window->Snapshot().title, Legend({}).title);
    }

    // File > Add Overlay to Another KML File puts the window's overlay after
    // the last feature of the file's Document, which keeps every other byte;
    // a file that is no KML, or the file being edited, is told and kept.
    void addToAnotherKml_keepsTheRest()
    {
        const QString target = Path(QStringLiteral("map.kml"));
        const QByteArray map =
            "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">"
            "\n  <Document>\n    <Placemark><name>a</name></Placemark>\n"
            "    <Style id=\"s\"/>\n  </Document>\n</kml>\n";
        const QString broken = Path(QStringLiteral("broken.kml"));
        QVERIFY(WriteAll(target, map) && WriteAll(broken, "<kml><Document>"));
        driver.services.fileDialogAnswers = {target, broken, driver.window->Snapshot().outputFile};
        auto* add = driver.Get<QAction>("mnuAddOverlaytoAnotherKMLFile");
        QVERIFY(add->isEnabled());
        add->trigger();

        const QByteArray added = ReadAll(target);
        const qsizetype at = map.indexOf("\n    <Style");
        QCOMPARE(added.left(at), map.left(at));
        QVERIFY(added.endsWith(map.mid(at)));
        QVERIFY(added.mid(at).startsWith("\n    <ScreenOverlay>\n      <"));
        const Overlay::KmlInPlaceRead read = Overlay::ReadKmlInPlace(added);
        OverlaySettings expected = driver.window->Snapshot();
        expected.outputFile.clear();
        QCOMPARE(read.overlay.settings, expected);
        QCOMPARE(driver.Messages(),
                 QStringList{"Notice|Orvinel|The overlay was added to map.kml."});

        add->trigger();
        add->trigger();
        QCOMPARE(driver.Messages().size(), 3);
        QVERIFY(driver.Messages().at(1).startsWith(
            "Failure|Orvinel|The overlay could not be added to the KML file:\n" +
            QDir::toNativeSeparators(broken) + "\n\nit is not an XML file"));
        QVERIFY(driver.Messages().at(2).contains("is the file being edited"));
        QCOMPARE(ReadAll(broken), "<kml><Document>");
    }

    // Each is told with the file's name and the reason; the window keeps
    // every value it had and writes nothing.
    void open_badFile_isToldAndChangesNothing_data()
    {
        // Every reason a file is refused is the reader's; here, how the window tells one.
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << QByteArray() << "";
        QTest::newRow("not XML") << QByteArray("GIF89a") << "not an XML file";
        QTest::newRow("damaged KMZ") << QByteArray("PK\x03\x04\x14") << "damaged";
    }
    void open_badFile_isToldAndChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QVERIFY(driver.Tick());
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QStringLiteral("Mine")));
        const OverlaySettings before = driver.window->Snapshot();
        const int writes = driver.Writes();
        const QString file = Path(QStringLiteral("bad.kml"));
        QVERIFY(bytes.isNull() || WriteAll(file, bytes));
        driver.services.fileDialogAnswers = {file};
        QTest::keyClick(driver.window.get(), Qt::Key_O, Qt::ControlModifier);

        QCOMPARE(driver.services.CallsOf(Kind::Failure).size(), 1);
        const QString told = driver.services.CallsOf(Kind::Failure).constFirst().text;
        QVERIFY2(told.startsWith("The overlay file could not be opened:\n" +
                                 QDir::toNativeSeparators(file) + "\n\n") &&
                     told.contains(reason),
                 qPrintable(told));
        QCOMPARE(driver.window->Snapshot(), before);
        QCOMPARE(driver.window->windowTitle(), "Overlay Graphic: Legend.gif");
        QCOMPARE(driver.Writes(), writes);
    }

    // A long read shows its progress (at once here); Cancel leaves
    // everything as it was, letting it run fills the window in one step, and
    // a file dropped meanwhile is not opened over it. A quick read shows no
    // progress at the window's own delay.
    void open_longRead_showsProgress_data()
    {
        QTest::addColumn<int>("placemarks"); // tens of megabytes: a good part of a second
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled") << 600000 << 0 << true;
        QTest::newRow("let run") << 600000 << 0 << false;
        QTest::newRow("quick") << 1 << int(kShowProgressAfter.count()) << false;
    }
    void open_longRead_showsProgress()
    {
        QFETCH(int, placemarks);
        QFETCH(int, delay);
        QFETCH(bool, cancel);
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QStringLiteral("Mine")));
        const OverlaySettings before = driver.window->Snapshot();
        const int writes = driver.Writes();
        const QString file = Path(QStringLiteral("big.kml"));
        QVERIFY(WriteAll(file, WithPlacemarks(placemarks)));
        const QString other = WriteOverlay(QStringLiteral("other.kml"), OverlaySettings());

        driver.window->openProgressAfter = std::chrono::milliseconds(delay);
        QString shown;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* progress = driver.window->findChild<QProgressDialog*>();
            if (progress == nullptr || !progress->isVisible() || !shown.isEmpty())
                return;
            shown = progress->labelText();
            Drop(driver.Get("txtOverlay_title"), other);
            if (cancel)
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        poll.start(5);
        driver.window->OpenOverlayFile(file);
        poll.stop();

        QCOMPARE(shown, QLatin1String(delay == 0 ? "Opening big.kml ..." : ""));
        OverlaySettings opened = Legend(Picture());
        opened.outputFile = file;
        QCOMPARE(driver.window->Snapshot(), cancel ? before : opened);
        QCOMPARE(driver.Messages().size(), 0);
        QCOMPARE(driver.Writes(), writes);
        QVERIFY(driver.window->findChild<QProgressDialog*>() == nullptr);
    }

    // Open is a command like a click: a refused value keeps the focus and
    // no dialog opens.
    void open_runsTheFocusedChecksFirst()
    {
        QWidget* field = driver.Get("txtRotation");
        QVERIFY(WindowDriver::Retype(field, QStringLiteral("abc")));
        QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(driver.Messages(),
                 QStringList{"DataError|Data Error|Please enter a valid number for the rotation "
                             "angle"});
        QVERIFY(driver.services.CallsOf(Kind::FileDialog).isEmpty());
        QVERIFY(field->hasFocus());
    }

    // A relative link stays relative, names the picture beside the opened
    // file (measured, and drawn in the preview), and still names it from the
    // folder a Save As goes to.
    void relativePicture_followsTheFile()
    {
        const QString folderA = Path(QStringLiteral("a"));
        QVERIFY(WriteAll(folderA + "/pics/Legend.gif", kGif));
        const QString file =
            WriteOverlay(QStringLiteral("a/rain.kml"), Legend(QStringLiteral("pics/Legend.gif")));
        driver.window->OpenOverlayFile(file);
        QCOMPARE(driver.window->GraphicFilePath(), "pics/Legend.gif");
        QCOMPARE(driver.Text("txtWidth"), "240");
        const QString title = driver.Text("txtOverlay_title");
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QStringLiteral("Rain")));
        WindowDriver::Click(driver.Get("cmdPreview"));
        auto* canvas = driver.window->findChild<PreviewCanvas*>();
        QVERIFY(canvas);
        QTRY_COMPARE(canvas->picture(), PreviewCanvas::Picture::Loaded);

        QVERIFY(QDir().mkpath(Path(QStringLiteral("b/c"))));
        driver.services.fileDialogAnswers = {Path(QStringLiteral("b/c/copy.kml"))};
        WindowDriver::Click(driver.Get("cmdSave_As"));
        const QString href =
            ParseKmlFile(driver.Written(Path(QStringLiteral("b/c/copy.kml")))).value("href");
        QCOMPARE(href, "../../a/pics/Legend.gif");
        QCOMPARE(driver.window->GraphicFilePath(), href);
        // Undone to before the Save As, the link still names the picture.
        driver.Get<QAction>("mnuUndo")->trigger();
        QCOMPARE(driver.Text("txtOverlay_title"), title);
        QCOMPARE(driver.window->GraphicFilePath(), href);
    }

    // Over any control: an overlay file opens, a picture is taken as if
    // chosen in the picture dialog, anything else is not taken.
    void drop_opensOrTakesByKind()
    {
        const QString file = WriteOverlay(QStringLiteral("rain.kml"), Legend(Picture()));
        QVERIFY(Drop(driver.Get("txtOverlay_title"), file));
        QCOMPARE(driver.window->OutputFilePath(), QDir::toNativeSeparators(file));

        // Named as the file dialog names it: with "\\" on Windows. Every type
        // the picture dialog offers, in any case.
        QString picture;
        for (const char* name : {"photo.JPEG", "scan.tiff", "map.png", "Other.gif"}) {
            picture = QDir::toNativeSeparators(Path(QString::fromLatin1(name)));
            QVERIFY(WriteAll(picture, kGif) && Drop(driver.Get("lblOpen_graphic_file"), picture));
            QCOMPARE(driver.window->GraphicFilePath(), picture);
        }
        QCOMPARE(driver.window->windowTitle(), "Overlay Graphic: Other.gif");
        QCOMPARE(driver.Text("txtHeight"), "120");

        QVERIFY(WriteAll(Path(QStringLiteral("notes.txt")), "x"));
        QVERIFY(!Drop(driver.window.get(), Path(QStringLiteral("notes.txt"))));
        QCOMPARE(driver.window->GraphicFilePath(), picture);
        QCOMPARE(driver.Writes(), 0);
        QCOMPARE(driver.Messages(), QStringList());
    }

    // Export waits for a picture; its dialog, offering the picture's name
    // until there is an output file, then that file's; ".kmz" added to a bare
    // name; the overwrite question naming the file; a web-address picture
    // stays outside, told. A dropped KMZ is edited in place; its picture is
    // unpacked beside it only after Yes, and has the bytes it had.
    void kmz_exportedThroughTheMenu_openedByDrop()
    {
        QVERIFY(driver.Close() && driver.Open());
        auto* exportKmz = driver.Get<QAction>("mnuExportasKMZ");
        QVERIFY(!exportKmz->isEnabled());
        driver.services.fileDialogAnswers = {Picture(), Path(QStringLiteral("share"))};
        WindowDriver::Click(driver.Get("cmdOpen_graphic_file"));
        QVERIFY(exportKmz->isEnabled());
        OverlaySettings exported = driver.window->Snapshot();
        // Pressed in a text field, where the window's keys win over the field's.
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), exported.title));
        QTest::keyClick(driver.Get("txtOverlay_title"), Qt::Key_E, Qt::ControlModifier);
        // The last dialog's title, filter and suggestion.
        const auto asked = [this] {
            const FakeServices::Call call = driver.services.CallsOf(Kind::FileDialog).last();
            return QStringList{call.title, call.text, call.suggested};
        };
        QCOMPARE(asked(), (QStringList{"Export KMZ File", "KMZ file|*.kmz",
                                       QDir::toNativeSeparators(Path("Legend.kmz"))}));
        QCOMPARE(driver.services.CallsOf(Kind::FileDialog).last().mode, FileDialogMode::Save);
        const QString kmz = QDir::toNativeSeparators(Path(QStringLiteral("share.kmz")));
        const QByteArray archive = ReadAll(kmz);
        QVERIFY(archive.startsWith("PK"));

        driver.services.fileDialogAnswers = {kmz};
        ChooseFromMenu("menuFile", "mnuExportasKMZ");
        QCOMPARE(driver.Messages(), QStringList{"AskYesNo|Orvinel|File already exists - do you "
                                                "want to overwrite the existing file?\n\n" +
                                                kmz});
        QCOMPARE(ReadAll(kmz), archive);

        // Once there is an output file, its name; a cancelled dialog exports nothing.
        driver.window->OpenOverlayFile(WriteOverlay(QStringLiteral("rain.kml"), Legend(Picture())));
        QTest::keyClick(driver.window.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(asked().last(), Path(QStringLiteral("rain.kmz")));
        driver.window->OpenOverlayFile(WriteOverlay(
            QStringLiteral("web.kml"), Legend(QStringLiteral("https://example.org/legend.png"))));
        driver.services.fileDialogAnswers = {Path(QStringLiteral("web"))};
        QTest::keyClick(driver.window.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(asked().last(), Path(QStringLiteral("web.kmz")));
        QVERIFY(driver.Messages().last().startsWith("Notice|Orvinel|The picture is a web address"));
        QVERIFY(QFile::exists(Path(QStringLiteral("web.kmz"))));
        // Opened in place, it is the file an archive is named after.
        driver.window->OpenOverlayFile(Path(QStringLiteral("web.kmz")));
        QTest::keyClick(driver.window.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(asked().last(), Path(QStringLiteral("web.kmz")));

        const QString unpacked = Path(QStringLiteral("share_files/files/Legend.gif"));
        for (const bool yes : {false, true}) {
            driver.services.calls.clear();
            driver.services.yesNoAnswers = {yes};
            QVERIFY(Drop(driver.Get("txtOverlay_title"), kmz));
            QCOMPARE(driver.Messages(),
                     QStringList{"AskYesNo|Orvinel|The overlay's picture is inside the KMZ file. "
                                 "Unpack it into this folder?\n\n" +
                                 QDir::toNativeSeparators(Path(QStringLiteral("share_files")))});
            // Declined, the archive keeps its link.
            exported.picture = yes ? QDir::toNativeSeparators(unpacked) : "files/Legend.gif";
            exported.outputFile = kmz;
            QCOMPARE(driver.window->Snapshot(), exported);
            QCOMPARE(driver.Text("txtWidth"), QLatin1String(yes ? "240" : "?"));
            QCOMPARE(ReadAll(unpacked), yes ? kGif : QByteArray());
        }
        // Edited in place: the unpacked picture stays the entry it came from.
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QStringLiteral("Shared")));
        WindowDriver::Click(driver.Get("cmdSave_Refresh"));
        const OpenedKmz saved = Overlay::ReadKmz(kmz);
        QCOMPARE(saved.overlay.settings.title, "Shared");
        QCOMPARE(saved.pictureEntry, "files/Legend.gif");
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("fileOrText");
        using Action = CommandLine::Action;
        QTest::newRow("nothing") << QStringList{"orvinel"} << int(Action::Run) << "";
        QTest::newRow("version") << QStringList{"orvinel", "--version"} << int(Action::Version)
                                 << "Orvinel 0.4.0\n";
        // Named as a user types it, opening both kinds of overlay file.
        QTest::newRow("help") << QStringList{"/usr/bin/orvinel", "-h"} << int(Action::Help)
                              << "Usage: orvinel [options] [FILE]\n"
                                 "Makes KML screen overlays for Google Earth: a legend, a logo or "
                                 "a title card pinned to a place on the viewer's screen.\n\n"
                                 "Options:\n"
                                 "  -h, --help     Shows this help.\n"
                                 "  -v, --version  Shows the version.\n\n"
                                 "Arguments:\n"
                                 "  FILE           An overlay file (.kml or .kmz) to open.\n";
        QTest::newRow("two files") << QStringList{"orvinel", "a.kml", "b.kml"} << int(Action::Error)
                                   << "Orvinel opens one file at a time.\n";
        QTest::newRow("unknown") << QStringList{"orvinel", "--bogus"} << int(Action::Error)
                                 << "Unknown option 'bogus'.\n";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, fileOrText);
        const CommandLine parsed = ParseCommandLine(arguments);
        QCOMPARE(int(parsed.action), action);
        QCOMPARE(parsed.action == CommandLine::Action::Run ? parsed.file
                                                           : parsed.text.left(fileOrText.size()),
                 fileOrText);
    }

    // `orvinel FILE`: the window comes up with the file open.
    void commandLineFile_opensAtStart()
    {
        QVERIFY(driver.Close());
        const QString file = WriteOverlay(QStringLiteral("rain.kml"), Legend(Picture()));
        driver.window = std::make_unique<frmOrvinel>(driver.services);
        StartWindow(*driver.window, ParseCommandLine({"orvinel", file}));
        QVERIFY(QTest::qWaitForWindowActive(driver.window.get()));
        QCOMPARE(driver.window->OutputFilePath(), file);
        QCOMPARE(driver.Text("txtOverlay_title"), Legend(Picture()).title);
    }

    // User Guide (F1) does what Help does; About names the version the window
    // shows, the licence, Qt and the address; Exit does what the Exit button does.
    void menus_doWhatTheirButtonsDo()
    {
        const auto told = [this] {
            QStringList calls;
            for (const FakeServices::Call& call : std::exchange(driver.services.calls, {}))
                calls << QString::number(int(call.kind)) + call.text + call.url.toString();
            return calls;
        };
        WindowDriver::Click(driver.Get("cmdHelp"));
        const QStringList byButton = told();
        QTest::keyClick(driver.window.get(), Qt::Key_F1);
        QCOMPARE(told(), byButton);
        QVERIFY(!byButton.isEmpty());

        ChooseFromMenu("menuHelp", "mnuAboutOrvinel");
        const auto about = driver.services.CallsOf(Kind::About);
        QCOMPARE(about.size(), 1);
        QCOMPARE(about.constFirst().title, "About Orvinel");
        // About, --version and the window's version label name the one version.
        const QString version = ParseCommandLine({"orvinel", "--version"}).text.trimmed();
        QCOMPARE(driver.Get<QLabel>("Label1")->text(), u"Version " + version.section(u' ', 1));
        for (const QString& part : {version, QStringLiteral("MIT"), QString::fromLatin1(qVersion()),
                                    QStringLiteral("https://github.com/orvinel/orvinel")})
            QVERIFY2(about.constFirst().text.contains(part), qPrintable(part));

        ChooseFromMenu("menuFile", "mnuExit");
        QTRY_VERIFY(!driver.window->isVisible());
        QVERIFY(!QFile::exists(driver.window->NetworkLinkFilePath()));
    }
};

QTEST_MAIN(OpenFileTest)
#include "tst_open_file.moc"
