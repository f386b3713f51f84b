// The main window driven as a user drives it, offscreen: layout and start
// state, presets, the checks when the focus leaves a value, when the overlay
// file is rewritten, and the preview that follows every change.

#include "KmlWriter.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "Vocabulary.h"
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QScopeGuard>
#include <QScreen>
#include <QSlider>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

QString NotANumber(const char* what)
{
    return QStringLiteral("DataError|Data Error|Please enter a valid number for the ") +
           QLatin1String(what);
}
const QString kRange = QStringLiteral(
    "Notice|Orvinel|Rotation angle has to be between -180 (clockwise rotation) and +180 "
    "(counter-clockwise rotation)");
const QString kNegative = QStringLiteral(
    "Notice|Orvinel|Negative numbers are not allowed for this value. Pick \"Maintain native "
    "size\" from the list for the picture's own size.");
const QString kWhole =
    QStringLiteral("Notice|Orvinel|Draw Order has been converted to a valid integer value.");

// How many of `widget`'s drawn pixels pass `test`.
int Pixels(QWidget* widget, bool (*test)(QColor))
{
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    return count;
}

// How far apart two colours are to the eye: WCAG's contrast ratio, 1 to 21.
double Contrast(QColor a, QColor b)
{
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const auto [darker, lighter] = std::minmax({luminance(a), luminance(b)});
    return (lighter + 0.05) / (darker + 0.05);
}

// What a row of unsavedChanges_askedBeforeClosing does to the title: types
// "Rain" into it, then undoes that, or opens another file that holds it.
enum class Edit { None, Typed, Undone, Reopened };

struct Closing
{
    bool output; // the output file is set and saved; else a fresh window
    Edit edit;
    bool ticked; // Auto-Refresh
    bool broken; // a folder stands where the overlay file goes: every write fails
    bool byExit; // the Exit button, else closed as by the window's frame
    SaveChoice answer;
    const char* saveAs; // the Save As dialog's answer ("" cancels); nullptr: not shown
    const char* told;   // the boxes shown, by kind
    bool closes;
    bool saved; // the file holds the edit; else it is as it was before
};

} // namespace

Q_DECLARE_METATYPE(Closing)

class WindowTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    // What a user of the window can see go wrong with its layout: a control
    // outside its container, two input controls over each other. (Captions
    // are measured with the platform's fonts, which offscreen runs lack.)
    static QStringList LayoutFaults(QWidget* client)
    {
        QStringList faults;
        QList<QWidget*> controls;
        for (QWidget* control : client->findChildren<QWidget*>()) {
            const QWidget* parent = control->parentWidget();
            if (!control->objectName().isEmpty() && !control->objectName().startsWith(u"qt_") &&
                (parent == client || qobject_cast<const QGroupBox*>(parent) != nullptr))
                controls << control;
        }
        for (QWidget* control : controls) {
            const QString name = control->objectName();
            if (!control->parentWidget()->rect().contains(control->geometry()))
                faults << name + u" sticks out of its container";
            const bool label = qobject_cast<const QLabel*>(control) != nullptr;
            for (QWidget* other : controls)
                if (!label && qobject_cast<const QLabel*>(other) == nullptr &&
                    other->parentWidget() == control->parentWidget() &&
                    name < other->objectName() && control->geometry().intersects(other->geometry()))
                    faults << name + u" lies over " + other->objectName();
        }
        return faults;
    }

private Q_SLOTS:
    // Save/Refresh and Auto-Refresh ready, not ticked.
    void init() { QVERIFY(driver.Open(true)); }
    void cleanup() { QVERIFY(driver.Close()); }

    // Every control where the layout table puts it, and the start values;
    // then, with every command enabled, Tab walks the window as it is read,
    // from the picture button back to it, passing the presets through the
    // chosen one; and a screen reader hears what each control is.
    void startState_asTheUserFirstSeesIt_thenTheTabOrder()
    {
        QVERIFY(driver.Open()); // no output file yet
        frmOrvinel* window = driver.window.get();
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("cmdOpen_graphic_file"));
        QCOMPARE(window->windowTitle(), "KML Orvinel");
        // The menu bar above the client area (whose size the screens test holds).
        QVERIFY(driver.Get("menuBar")->geometry().bottom() <
                driver.Get("scrollArea")->geometry().top());

        QCOMPARE(LayoutFaults(driver.Get("clientArea")).join(u", "), QString());
        for (const char* name : {"cmdOpen_graphic_file", "txtOverlay_title", "txtRotation"})
            QVERIFY2(!driver.Get(name)->toolTip().isEmpty(), name);

        // Drawn as well as laid out: the wrapped captions (the credit's
        // colour: credit_inThePalettesLinkColour), and the path strips as
        // plain text, whatever a file name holds.
        QCOMPARE_GT(
            Pixels(driver.Get("cmdOpen_graphic_file"), [](QColor c) { return c.lightness() < 80; }),
            10);
        for (const char* strip : {"lblOpen_graphic_file", "lblOutput_file"})
            QCOMPARE(driver.Get<QLabel>(strip)->textFormat(), Qt::PlainText);

        // The start values, and what is enabled.
        QStringList values;
        for (const char* name :
             {"txtDraw_order", "txtOverlay_x", "txtOverlay_y", "txtScreen_x", "txtScreen_y",
              "txtWidth", "txtHeight", "comboSize_x", "comboOverlay_x_units", "comboSize_y_units"})
            values << driver.Text(name);
        for (const char* name : {"txtOverlay_title", "lblOpen_graphic_file", "sliderTransparency",
                                 "optPreset_4", "cmdSave_As", "cmdSave_Refresh",
                                 "cmdCreate_Network_Link", "chkAuto_Refresh", "cmdExit"}) {
            QWidget* control = driver.Get(name);
            values << (control->property("value").isValid() ? control->property("value")
                                                            : control->property("text"))
                              .toString()
                              .remove(u'&') + // the access keys' marks
                          QLatin1String(control->property("checked").toBool() ? " on" : "") +
                          QLatin1String(control->isEnabled() ? "" : " off");
        }
        QCOMPARE(values, (QStringList{
                             "99", "0.5", "0.5", "0.5", "0.5", "?", "?", "", "fraction", "fraction",
                             "", "Click on button at right to open graphic file to use as overlay",
                             "100", "Center on", "Save As off", "Save/Refresh off",
                             "Create Network Link And Open In Google Earth off", "Auto-Refresh off",
                             "Exit"}));
        // The chosen preset is what a first Save As writes.
        const QString first = driver.folder.filePath("first.kml");
        driver.services.fileDialogAnswers = {driver.folder.filePath("Legend.gif"), first};
        for (const char* command : {"cmdOpen_graphic_file", "cmdSave_As"})
            WindowDriver::Click(driver.Get(command));
        const QHash<QString, QString> written = driver.ReadBack(first);
        QString points;
        for (const char* point : {"overlayXY", "screenXY"})
            for (const char* attribute : {"x", "y", "xunits", "yunits"})
                points +=
                    written.value(QLatin1String(point) % u'@' % QLatin1String(attribute)) % u' ';
        QCOMPARE(points, QString("0.5 0.5 fraction fraction ").repeated(2));

        QVERIFY(driver.PrepareOutputFile());
        driver.Get("cmdOpen_graphic_file")->setFocus();
        QStringList visited;
        do {
            visited.append(QApplication::focusWidget()->objectName());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (QApplication::focusWidget()->objectName() != visited.first() &&
                 visited.size() < 100);
        QCOMPARE(visited.join(u' '),
                 "cmdOpen_graphic_file txtOverlay_title optPreset_4 txtWidth txtHeight "
                 "comboScreen_x_units txtScreen_x comboScreen_y_units txtScreen_y "
                 "comboOverlay_x_units txtOverlay_x comboOverlay_y_units txtOverlay_y "
                 "txtDraw_order txtRotation comboRotation_x_units txtRotation_x "
                 "comboRotation_y_units txtRotation_y cmdPreview chkAuto_Refresh comboSize_x_units "
                 "comboSize_x comboSize_y_units comboSize_y sliderTransparency cmdSave_As "
                 "cmdSave_Refresh cmdHelp cmdExit cmdCreate_Network_Link cmdNew_Program");
        // Every stop and every named strip has a name of its own, without
        // access-key marks; fields are tied to the labels that name them.
        QStringList names;
        for (const QString& name : visited + QStringList{"optPreset_0", "lblOpen_graphic_file"})
            names
                << QAccessible::queryAccessibleInterface(driver.Get(name))->text(QAccessible::Name);
        for (const QString& name : names)
            QVERIFY2(!name.isEmpty() && !name.contains(u'&') && names.count(name) == 1,
                     qPrintable(names.join(u'|')));
        QCOMPARE(names.mid(5, 2) + names.mid(25, 1),
                 (QStringList{"Screen x units", "Screen x", "Transparency"}));
        const auto labels = QAccessible::queryAccessibleInterface(driver.Get("txtOverlay_title"))
                                ->relations(QAccessible::Label);
        QVERIFY(!labels.isEmpty() &&
                labels.first().first->text(QAccessible::Name) == "Overlay Title");
        QCOMPARE(driver.services.calls.size(), 0);
        // An access key presses its button from a text field.
        QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), QString()));
        QTest::keyClick(driver.Get("txtOverlay_title"), Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(driver.services.CallsOf(FakeServices::Kind::FileDialog).size(), 1);
    }

    // The credit is drawn in the palette's link colour, so that it stands out
    // from the window (WCAG's 4.5:1) on a dark palette as on a light one.
    void credit_inThePalettesLinkColour_data()
    {
        QTest::addColumn<QPalette>("palette");
        const auto palette = [](QRgb window, QRgb text, QRgb link) {
            QPalette made(QColor::fromRgb(window));
            made.setColor(QPalette::WindowText, QColor::fromRgb(text));
            made.setColor(QPalette::Link, QColor::fromRgb(link));
            return made;
        };
        QTest::newRow("light") << palette(0xf0f0f0, 0x000000, 0x0b57d0);
        QTest::newRow("dark") << palette(0x202020, 0xe8e8e8, 0x8ab4f8);
    }
    void credit_inThePalettesLinkColour()
    {
        QFETCH(QPalette, palette);
        driver.window->setPalette(palette);
        const QImage drawn = driver.Get("lblTarnwell")->grab().toImage();
        const QColor ground = drawn.pixelColor(0, 0);
        // The ink: of the colours drawn, the one furthest from the ground.
        QColor ink = ground;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (Contrast(drawn.pixelColor(x, y), ground) > Contrast(ink, ground))
                    ink = drawn.pixelColor(x, y);
        QCOMPARE(ground, palette.color(QPalette::Window));
        QCOMPARE(ink, palette.color(QPalette::Link));
        QCOMPARE_GE(Contrast(ink, ground), 4.5);
    }

    // Each preset from mixed units: the file holds the preset in fractions;
    // everything but the two points is left alone. (Unticked a preset writes
    // nothing, as every change: oneChange.)
    void presets_fromMixedUnits()
    {
        QVERIFY(driver.Tick());
        for (int index = 0; index < 9; ++index) {
            for (const char* name :
                 {"Overlay_x", "Overlay_y", "Screen_x", "Screen_y", "Rotation_x"})
                driver.Get<QComboBox>(u"combo" % QLatin1String(name) % u"_units")
                    ->setCurrentIndex(name[0] == 'O' ? 2 : 1); // insetPixels, pixels
            driver.RemoveOutputFile();
            const QString x = QStringList{"0", "0.5", "1"}[index % 3];
            const QString y = QStringList{"1", "0.5", "0"}[index / 3];
            OverlaySettings expected = driver.window->Snapshot();
            expected.overlayX = expected.screenX = x;
            expected.overlayY = expected.screenY = y;
            expected.overlayXUnits = expected.overlayYUnits = expected.screenXUnits =
                expected.screenYUnits = QStringLiteral("fraction");
            WindowDriver::Click(driver.Get(QStringLiteral("optPreset_%1").arg(index)));

            QVERIFY2(driver.window->Snapshot() == expected, qPrintable(QString::number(index)));
            const QHash<QString, QString> file = driver.ReadBack();
            QCOMPARE(QString(file["screenXY@x"] % u' ' % file["screenXY@y"] % u' ' %
                             file["screenXY@xunits"] % u' ' % file["overlayXY@yunits"]),
                     QString(x % u' ' % y % u" fraction fraction"));
        }
        QCOMPARE(driver.Messages(), QStringList());
    }

    void focusLeaves_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after"); // null: refused, the text and the focus stay
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("byTab");
        const auto row = [](const char* control, const char* typed, const char* after,
                            const QString& message = {}) {
            for (const bool byTab : {false, true}) {
                QTest::addRow("%s '%s' tab %d", control, typed, int(byTab))
                    << QString::fromLatin1(control) << QString::fromLatin1(typed)
                    << QString::fromLatin1(after) << message << byTab;
            }
        };
        // Each field's own rule and refusal (the rules themselves are tested
        // in the overlay tests), each kind of box, a replacement, acceptance.
        row("txtOverlay_x", "abc", nullptr, NotANumber("overlay x value"));
        row("txtOverlay_y", "0,5", nullptr, NotANumber("overlay y value"));
        row("txtScreen_x", "1,000", nullptr, NotANumber("screen x value"));
        row("txtScreen_y", "--1", nullptr, NotANumber("screen y value"));
        row("txtRotation_x", "1e", nullptr, NotANumber("rotation x value"));
        row("txtRotation_y", "inf", nullptr, NotANumber("rotation y value"));
        row("txtRotation", "-200", nullptr, kRange);
        row("txtDraw_order", "ten", nullptr, NotANumber("draw order"));
        row("comboSize_x", "-1", nullptr, kNegative);
        row("comboSize_y", "Maintain aspect ", nullptr, NotANumber("y-size"));
        row("txtDraw_order", "3.7", "3", kWhole);
        row("txtRotation", "180", "180");
        row("comboSize_y", "Maintain aspect", "Maintain aspect");
    }

    // Typing, then Tab or a click on Save/Refresh: a refused text keeps the
    // focus and the click never happens; exactly the one message is shown.
    void focusLeaves()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(QString, message);
        QFETCH(bool, byTab);
        QWidget* field = driver.Get(control);
        QVERIFY(WindowDriver::Retype(field, typed));
        if (byTab)
            QTest::keyClick(field, Qt::Key_Tab);
        else
            WindowDriver::Click(driver.Get("cmdSave_Refresh"));

        const bool refused = after.isNull();
        QTRY_COMPARE(driver.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QTRY_COMPARE(field->hasFocus(), refused);
        QCOMPARE(driver.Text(control), refused ? typed : after);
        QCOMPARE(driver.Writes(), refused || byTab ? 0 : 1);
    }

    void oneChange_writesWhenTickedNeverOtherwise_andShowsInThePreview_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("ticked");
        const QString controls = QStringLiteral(
            "txtOverlay_x txtOverlay_y txtScreen_x txtScreen_y txtRotation_x txtRotation_y "
            "txtRotation txtDraw_order txtOverlay_title comboSize_x comboSize_y sliderTransparency "
            "comboOverlay_x_units comboOverlay_y_units comboScreen_x_units comboScreen_y_units "
            "comboRotation_x_units comboRotation_y_units comboSize_x_units comboSize_y_units "
            "optPreset_8 cmdOpen_graphic_file");
        for (const QString& control : controls.split(u' '))
            for (const bool ticked : {true, false})
                QTest::addRow("%s %d", qPrintable(control), int(ticked)) << control << ticked;
    }

    // With the preview open, a keystroke writes once while Auto-Refresh is
    // ticked, never while it is not; the slider's writes its colour. A unit
    // pick empties its value field, even a pick of the unit shown (unticked
    // rows), and that emptying is a change of its own. A new picture writes
    // nothing. Every one of them shows in the preview at once.
    void oneChange_writesWhenTickedNeverOtherwise_andShowsInThePreview()
    {
        QFETCH(QString, control);
        QFETCH(bool, ticked);
        QWidget* target = driver.Get(control);
        const bool units = control.endsWith(u"_units");
        const bool clicked = control.startsWith(u"opt") || control.startsWith(u"cmd");
        const QString value = control.mid(5).chopped(6); // "Overlay_x" of "comboOverlay_x_units"
        const bool size = value.startsWith(u"Size");
        const QString field = QLatin1String(size ? "combo" : "txt") + value;
        for (const QChar axis : {u'x', u'y'}) { // the element is written while either is set
            if (units)
                QVERIFY(WindowDriver::Retype(driver.Get(field.chopped(1) + axis), "0.3"));
        }
        if (ticked)
            QVERIFY(driver.Tick());
        PreviewWindow* preview = driver.OpenPreview();
        QVERIFY(preview);
        if (qobject_cast<QSlider*>(target))
            target->setFocus(); // a click would move the slider itself
        else if (!units && !clicked)
            WindowDriver::Click(target);
        QTRY_VERIFY(units || clicked || target->hasFocus());
        driver.RemoveOutputFile();
        const int before = driver.Writes();
        const OverlaySettings shown = driver.window->Snapshot();
        const QString unit = QLatin1String(ticked ? "pixels" : "fraction");

        if (units)
            QVERIFY(WindowDriver::Pick(static_cast<QComboBox*>(target), unit));
        else if (clicked)
            driver.services.fileDialogAnswers = {driver.folder.filePath("Legend.png")};
        if (clicked)
            WindowDriver::Click(target);
        else if (!units)
            QTest::keyClick(target, qobject_cast<QSlider*>(target) ? Qt::Key_Left : Qt::Key_1);

        QVERIFY(driver.window->Snapshot() != shown);
        QVERIFY(preview->canvas()->settings() == driver.window->Snapshot());
        const bool writes = ticked && control != u"cmdOpen_graphic_file";
        const int written = driver.Writes() - before;
        QCOMPARE(units || clicked ? qMin(written, 1) : written, writes ? 1 : 0);
        QCOMPARE(driver.OutputFileExists(), writes);
        QCOMPARE(driver.Messages(), QStringList());
        if (qobject_cast<QSlider*>(target)) // one step left: 99 percent
            QCOMPARE(driver.ReadBack().value("color"), QLatin1String(ticked ? "fdffffff" : ""));
        if (!units)
            return;
        QCOMPARE(driver.Text(field), QString());
        const QString point = size ? QStringLiteral("size") : value.chopped(2).toLower() + u"XY";
        QCOMPARE(driver.ReadBack().value(point % u'@' % value.back() % u"units"),
                 ticked ? unit : QString());
    }

    // A failed auto-refresh write is told once for its whole run of changes,
    // naming the file and why, and the window carries on; once the folder is
    // back the next keystroke writes there, and a new run is told again.
    void failedWrites_toldOncePerRun()
    {
        const QString missing = driver.folder.filePath("gone/overlay.kml");
        QVERIFY(QDir(driver.folder.path()).mkdir("gone") && driver.PrepareOutputFile(missing));
        QVERIFY(QDir(driver.folder.filePath("gone")).removeRecursively());
        QVERIFY(WindowDriver::Retype(driver.Get("comboSize_x"), "200"));
        QVERIFY(driver.Tick()); // ticking writes at once, and fails
        QWidget* field = driver.Get("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, "5"));
        QTest::keyClicks(field, "00");
        QTRY_COMPARE(driver.Messages().size(), 1); // while typing, no command waited for it
        driver.Written(missing);
        // Named as the file dialog gave it, with the platform's separators.
        const QString told = "Failure|Orvinel|Could not save the overlay file \"" +
                             QDir::toNativeSeparators(missing) + "\": ";
        QCOMPARE(driver.Messages().size(), 1);
        QVERIFY2(driver.Messages()[0].startsWith(told) && driver.Messages()[0].size() > told.size(),
                 qPrintable(driver.Messages()[0]));

        // Once the folder is back, typing writes where it was told, as typed.
        QVERIFY(QDir(driver.folder.path()).mkdir("gone"));
        QTest::keyClicks(field, ".25");
        QCOMPARE(driver.ReadBack(missing).value("overlayXY@x"), "500.25");
        QVERIFY(QDir(driver.folder.filePath("gone")).removeRecursively());
        QTest::keyClicks(field, "00");
        driver.Written(missing);
        QCOMPARE(driver.Messages().size(), 2);
    }

    void heldBackDisk_latestStateWins_exitAndCloseWaitForIt_data()
    {
        QTest::addColumn<bool>("byExit");
        QTest::newRow("Exit") << true;
        QTest::newRow("close") << false;
    }

    // While the disk holds a write back, keystrokes return at once and newer
    // states replace the one waiting; Exit or closing the window waits for
    // the disk, so the file holds the last state as the window goes.
    void heldBackDisk_latestStateWins_exitAndCloseWaitForIt()
    {
        QFETCH(bool, byExit);
        QVERIFY(driver.Tick());
        QWidget* field = driver.Get("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, "1"));
        const int before = driver.services.WritesMade(); // waits for none
        driver.services.HoldWrites();
        QTest::keyClicks(field, "2345");
        std::thread release([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            driver.services.HoldWrites(false);
        });
        if (byExit)
            WindowDriver::Click(driver.Get("cmdExit"));
        else
            driver.window->close();
        const QString onDisk = ParseKmlFile(driver.OutputPath()).value("overlayXY@x");
        release.join();
        QCOMPARE(onDisk, "12345");
        QVERIFY(!driver.window->isVisible());
        QVERIFY(driver.services.WritesMade() - before <= 2); // one held, one waiting
    }

    void unsavedChanges_askedBeforeClosing_data()
    {
        QTest::addColumn<Closing>("c");
        using S = SaveChoice;
        const char* asked = "AskSaveChanges";
        // clang-format off
        QTest::newRow("nothing changed") << Closing{false, Edit::None, false, false, true, S::Cancel, nullptr, "", true, false};
        QTest::newRow("undone") << Closing{true, Edit::Undone, false, false, true, S::Cancel, nullptr, "", true, false};
        QTest::newRow("opened again") << Closing{true, Edit::Reopened, false, false, false, S::Cancel, nullptr, "", true, false};
        QTest::newRow("Discard") << Closing{true, Edit::Typed, false, false, false, S::Discard, nullptr, asked, true, false};
        QTest::newRow("Cancel") << Closing{true, Edit::Typed, false, false, true, S::Cancel, nullptr, asked, false, false};
        QTest::newRow("Save") << Closing{true, Edit::Typed, false, false, true, S::Save, nullptr, asked, true, true};
        QTest::newRow("Save as") << Closing{false, Edit::Typed, false, false, false, S::Save, "overlay", asked, true, true};
        QTest::newRow("Save As cancelled") << Closing{false, Edit::Typed, false, false, true, S::Save, "", asked, false, false};
        QTest::newRow("Auto-Refresh") << Closing{true, Edit::Typed, true, false, true, S::Cancel, nullptr, "", true, true};
        QTest::newRow("Auto-Refresh failing, Save failing") << Closing{true, Edit::Typed, true, true, false, S::Save, nullptr, "Failure AskSaveChanges Failure", false, false};
        // clang-format on
    }

    // Exit and closing the window ask before an edit that is in no file is
    // lost, once, naming the file; only Exit removes the link file, and only
    // when the window goes.
    void unsavedChanges_askedBeforeClosing()
    {
        QFETCH(Closing, c);
        if (!c.output)
            QVERIFY(driver.Close() && driver.Open());
        const QString output = driver.OutputPath();
        const QString link = driver.window->NetworkLinkFilePath();
        if (c.output)
            WindowDriver::Click(driver.Get("cmdSave_Refresh"));
        const auto mend = qScopeGuard([output] { QDir().rmdir(output); });
        QVERIFY(!c.broken || (QFile::remove(output) && QDir().mkdir(output)));
        if (c.ticked)
            QVERIFY(driver.Tick());
        const QByteArray before = driver.Bytes(output);
        if (c.edit != Edit::None)
            QVERIFY(WindowDriver::Retype(driver.Get("txtOverlay_title"), "Rain"));
        QCoreApplication::processEvents(); // the typing is one undo step
        if (c.edit == Edit::Undone)
            driver.Get<QAction>("mnuUndo")->trigger();
        const QString other = driver.folder.filePath(QStringLiteral("rain.kml"));
        if (c.edit == Edit::Reopened &&
            WriteAll(other, Overlay::OverlayFileBytes(driver.window->Snapshot()).bytes))
            driver.window->OpenOverlayFile(other);
        driver.services.saveChangesAnswers = {c.answer};
        if (c.saveAs)
            driver.services.fileDialogAnswers = {
                *c.saveAs ? driver.folder.filePath(QLatin1String(c.saveAs)) : QString()};
        if (c.byExit)
            WindowDriver::Click(driver.Get("cmdExit"));
        else
            driver.window->close();

        QStringList told;
        for (const QString& message : driver.Messages())
            told << message.section(u'|', 0, 0);
        QCOMPARE(told.join(u' '), QLatin1String(c.told));
        for (const FakeServices::Call& call :
             driver.services.CallsOf(FakeServices::Kind::AskSaveChanges))
            QCOMPARE(call.text, u"Save changes to " %
                                    QLatin1String(c.output ? "overlay.kml" : "Untitled") %
                                    u" before closing?");
        QCOMPARE(driver.Calls(FakeServices::Kind::FileDialog),
                 c.saveAs ? QStringList{"Save KML Screen Overlay File"} : QStringList());
        QCOMPARE(driver.window->isVisible(), !c.closes);
        QCOMPARE(QFile::exists(link), c.output && !(c.byExit && c.closes));
        if (c.saved)
            QCOMPARE(driver.ReadBack(output).value("name"), "Rain");
        else
            QCOMPARE(driver.Bytes(output), before);
    }

    // The whole number is in the field and in the file when the notice shows.
    void drawOrder_wholeNumberWrittenBeforeTheNotice()
    {
        QVERIFY(driver.Tick());
        QStringList seen;
        driver.services.onMessage = [&](const FakeServices::Call& call) {
            seen << driver.Text("txtDraw_order") % u'|' % driver.ReadBack().value("drawOrder") %
                        u'|' % call.text;
        };
        QWidget* field = driver.Get("txtDraw_order");
        QVERIFY(WindowDriver::Retype(field, ".7"));
        // Each keystroke writes and shows, and the cursor stays where it types.
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, "12");
        QTest::keyClick(field, Qt::Key_Tab);
        QCOMPARE(seen, QStringList{"12|12|" + kWhole.section(u'|', 2)});
    }

    // A second click raises the same window; closing it changes nothing and
    // writes no file; Exit takes it along.
    void preview_onlyOne_closingChangesNothing()
    {
        PreviewWindow* preview = driver.OpenPreview();
        QVERIFY(preview);
        preview->setWindowState(Qt::WindowMinimized);
        QCOMPARE(driver.OpenPreview(), preview); // minimised or not
        QVERIFY(!preview->windowState().testFlag(Qt::WindowMinimized));
        QCOMPARE(VisibleTopLevels().size(), 2);
        const OverlaySettings before = driver.window->Snapshot();
        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        QVERIFY(driver.window->isVisible() && driver.window->Snapshot() == before);
        QCOMPARE(driver.Writes(), 0);
        QCOMPARE(driver.services.calls.size(), 0);

        QCOMPARE(driver.OpenPreview(), preview);
        WindowDriver::Click(driver.Get("cmdExit"));
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
