// The main window driven as a user drives it, offscreen, with the services
// double: the layout and start state read from the live widgets, the
// presets, the checks that run when the focus leaves a value (also under a
// comma-decimal locale), when the overlay file is rewritten (every named
// change while Auto-Refresh is ticked, never while it is not), and the
// preview that follows every change.

#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QDir>
#include <QLabel>
#include <QPolygonF>
#include <QScreen>
#include <QSlider>

#include <clocale>

namespace {

// A control a string: "name kind container left top width height font
// [off|on]|caption|tooltip"; places in twips (15 to a pixel), font in points
// with b for bold, off = disabled, on = chosen, "." = the window itself.
// Kinds: B button, K check box, T text field, L label, F frame, O option,
// S slider, E editable size list, P point units, U size units (pick only).
// Labels and frames first, then every control that takes the focus, in tab
// order.
// clang-format off
const char* const kControls[] = {
    "lblOpen_graphic_file L . 120 120 4455 615 8.25|Click on button at right to open graphic file to use as overlay",
    "lblOverlaytitle L . 4800 915 1215 255 8.25b|Overlay Title",
    "framePresets F . 120 1320 3375 1935 8.25b|Preset Positions|Presets that position overlay at specified location (native dimension)",
    "frameGraphicdimensions F . 3600 1560 2415 1455 8.25b|Overlay Dimensions|Overlay dimension in pixels (for reference purposes only). Automatically calculated for GIF, JPG and BMP files; for other files, you can manually enter the dimensions here.",
    "frameScreen F . 90 3360 2895 1455 8.25b|Screen Parameters",
    "frameOverlay F . 3090 3360 3015 1455 8.25b|Overlay Parameters",
    "frameRotation F . 1650 5040 4455 1455 8.25b|Rotation",
    "frameDraw_Order F . 120 5280 1335 975 8.25b|Draw Order|Integer that defines order in which overlays are drawn. Overlays with higher draw order numbers are placed on top of overlays with lower numbers.",
    "frameSize F . 1800 6600 4215 1335 8.25b|Overlay Size",
    "Label1 L . 360 7440 855 255 8.25|Version 0.4",
    "lblTransparent L . 120 8040 975 255 8.25|Transparent",
    "lblSettransparency L . 240 8040 5775 255 8.25b|Set Transparency",
    "lblOpaque L . 5400 8040 615 375 8.25|Opaque",
    "lblOutput_file L . 90 8880 6015 495 8.25|",
    "lblTarnwell L . 3840 10380 2355 615 8.25b|Created by Tarnwell Click here to visit the site",
    "lblWidth_label L frameGraphicdimensions 120 495 975 255 8.25|Width (pixels)",
    "lblHeight_label L frameGraphicdimensions 120 975 1215 255 8.25|Height (pixels)",
    "lblScreenx L frameScreen 660 240 135 255 8.25|x",
    "lblScreeny L frameScreen 2100 240 135 255 8.25|y",
    "lbloverlayx L frameOverlay 660 240 135 255 8.25|x",
    "lbloverlayy L frameOverlay 2160 240 135 255 8.25|y",
    "lblRotation_angle L frameRotation 240 480 1095 255 8.25|Angle (+/-180)",
    "lblrotationx L frameRotation 2220 240 135 255 8.25|x",
    "lblrotationy L frameRotation 3660 240 135 255 8.25|y",
    "lblsizex L frameSize 1080 240 135 255 8.25|x",
    "lblsizey L frameSize 3120 240 135 255 8.25|y",
    "cmdExit B . 4680 9480 1335 735 8.25b|Exit|Exits program",
    "cmdSave_As B . 120 9480 1335 735 8.25b off|Save As|Save overlay file under a new name",
    "cmdSave_Refresh B . 1640 9480 1335 735 8.25b off|Save/Refresh|Save overlay data file under current name; refresh data for network link",
    "cmdCreate_Network_Link B . 120 10320 1695 735 8.25b off|Create Network Link And Open In Google Earth|Creates a network link to the main overlay data file which refreshes once a second, and opens it in Google Earth. Change any of the parameters, click \"Save/Refresh\", and the overlay will be modifiied in Google Earth.",
    "cmdHelp B . 3160 9480 1335 735 8.25b|Help|Opens post page on Tarnwell website that explains use of this program.",
    "cmdOpen_graphic_file B . 4680 180 1455 495 8.25b|Select Overlay Graphic File|Choose graphic file to use as overlay",
    "txtOverlay_x T frameOverlay 120 960 1215 375 9.75||Set units for x overlay parameter",
    "txtOverlay_y T frameOverlay 1620 960 1215 375 9.75||Set units for y overlay parameter",
    "comboOverlay_x_units P frameOverlay 120 480 1215 315 8.25|fraction",
    "comboOverlay_y_units P frameOverlay 1620 480 1215 315 8.25|fraction",
    "txtScreen_x T frameScreen 120 960 1215 375 9.75|",
    "txtScreen_y T frameScreen 1560 960 1215 375 9.75|",
    "comboScreen_x_units P frameScreen 120 480 1215 315 8.25|fraction|Set units for x screen parameter",
    "comboScreen_y_units P frameScreen 1560 480 1215 315 8.25|fraction|Set units for y screen paramete",
    "txtRotation_x T frameRotation 1680 960 1215 375 8.25||x-position for rotation axis (blank defaults to center of overlay)",
    "comboRotation_x_units P frameRotation 1680 480 1215 315 8.25|fraction",
    "comboSize_x_units U frameSize 720 480 975 315 8.25|fraction",
    "comboSize_y_units U frameSize 2700 480 975 315 8.25|fraction",
    "comboSize_x E frameSize 360 840 1815 315 8.25|",
    "comboSize_y E frameSize 2280 840 1815 315 8.25|",
    "optPreset_0 O framePresets 120 240 855 495 8.25|Upper left",
    "optPreset_1 O framePresets 1260 240 855 495 8.25|Upper middle",
    "optPreset_2 O framePresets 2400 240 855 495 8.25|Upper right",
    "optPreset_3 O framePresets 120 780 855 495 8.25|Middle lift",
    "optPreset_4 O framePresets 1260 780 855 495 8.25 on|Center",
    "optPreset_5 O framePresets 2400 780 855 495 8.25|Middle right",
    "optPreset_6 O framePresets 120 1320 855 495 8.25|Lower left",
    "optPreset_7 O framePresets 1260 1320 855 495 8.25|Lower middle",
    "optPreset_8 O framePresets 2400 1320 855 495 8.25|Lower right",
    "txtRotation T frameRotation 240 780 1095 555 18||Up to +180 degrees for counter-clockwise rotation, up to -180 for clockwise.",
    "txtOverlay_title T . 120 840 4455 405 9.75||Enter overlay title here",
    "sliderTransparency S . 90 8280 6015 495 8.25|100|Sets transparency of overlay (left for completely transparent, right for completely opaque)",
    "txtWidth T frameGraphicdimensions 1320 480 735 285 9.75|?",
    "txtHeight T frameGraphicdimensions 1320 960 735 285 9.75|?",
    "comboRotation_y_units P frameRotation 3120 480 1215 315 8.25|fraction",
    "txtRotation_y T frameRotation 3120 960 1215 375 8.25||y-position for rotation axis (blank defaults to center of overlay)",
    "txtDraw_order T frameDraw_Order 240 360 855 375 12|99",
    "chkAuto_Refresh K . 120 6960 1575 255 8.25b off|Auto-Refresh",
    "cmdNew_Program B . 2040 10320 1695 735 8.25b|New Program Window",
    "cmdPreview B . 120 6330 1335 495 8.25b|Preview|Shows where the overlay lands on the screen, updated with every change",
};

const QHash<QString, QString> kLists = {{"edit,Maintain native size,Maintain aspect", "E"},
    {"pick,fraction,pixels,insetPixels", "P"}, {"pick,fraction,pixels", "U"}};
const std::pair<const char*, const char*> kKinds[] = {{"QPushButton", "B"}, {"QCheckBox", "K"},
    {"QLineEdit", "T"}, {"QLabel", "L"}, {"QGroupBox", "F"}, {"QRadioButton", "O"}, {"QSlider", "S"}};
// clang-format on

// The table row with its twips turned into pixels, and its tooltip, if none.
QString InPixels(const char* row)
{
    QStringList parts = QString(QString::fromUtf8(row) + u"||").split(u'|').mid(0, 3);
    QStringList head = parts[0].split(u' ');
    for (int i = 3; i <= 6; ++i)
        head[i] = QString::number(qRound(head[i].toInt() / 15.0));
    parts[0] = head.join(u' ');
    return parts.join(u'|');
}

// The live control in the same form.
QString Describe(const QWidget* window, QWidget* control)
{
    QString kind = QStringLiteral("?"), text;
    for (const auto& [className, letter] : kKinds) {
        if (control->inherits(className))
            kind = QLatin1String(letter);
    }
    for (const char* property : {"value", "currentText", "title", "text"}) {
        if (const QVariant value = control->property(property); value.isValid())
            text = value.toString();
    }
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        QStringList items = {QLatin1String(list->isEditable() ? "edit" : "pick")};
        for (int i = 0; i < list->count(); ++i)
            items.append(list->itemText(i));
        kind = kLists.value(items.join(u','), QStringLiteral("?"));
    }
    const QWidget* container = control->parentWidget();
    QStringList head = {control->objectName(), kind,
                        container == window ? QStringLiteral(".") : container->objectName()};
    const QRect place = control->geometry();
    for (const int pixels : {place.x(), place.y(), place.width(), place.height()})
        head.append(QString::number(pixels));
    head.append(QString::number(control->font().pointSizeF()) +
                QLatin1String(control->font().bold() ? "b" : ""));
    if (!control->isEnabled())
        head.append(QStringLiteral("off"));
    if (control->property("checked").toBool())
        head.append(QStringLiteral("on"));
    return QStringList{head.join(u' '), text, control->toolTip()}.join(u'|');
}

QString NotANumber(const char* what)
{
    return QStringLiteral("DataError|Data Error|Please enter a valid number for the ") +
           QLatin1String(what);
}
const QString kRange = QStringLiteral(
    "Notice|Orvinel|Rotation angle has to be between -180 (counterclockwise rotation) and +180 "
    "(clockwise rotation)");
const QString kNegative =
    QStringLiteral("Notice|Orvinel|Negative numbers for this value default to native size");
const QString kWhole =
    QStringLiteral("Notice|Orvinel|Draw Order has been converted to a valid integer value.");

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    // Qt's and the C library's numbers with a decimal comma, and a window
    // opened under them; false where the C library lacks the locale.
    bool OpenUnderGermanLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        return std::setlocale(LC_ALL, "de_DE.UTF-8") &&
               QLocale().decimalPoint() == QLatin1String(",") && driver.Open(true);
    }

    // Clicks Preview and, once the preview is shown and active, goes back to
    // the main window as a user's click into it does; the preview window.
    PreviewWindow* OpenPreview()
    {
        WindowDriver::Click(driver.Get("cmdPreview"));
        auto* preview = driver.window->findChild<PreviewWindow*>();
        if (!preview || !QTest::qWaitForWindowActive(preview))
            return nullptr;
        driver.window->activateWindow();
        return QTest::qWaitForWindowActive(driver.window.get()) ? preview : nullptr;
    }

    // Where the last paint put the picture, in screen pixels (unturned here).
    static QRectF Drawn(const PreviewWindow* preview)
    {
        const auto corners = preview->canvas()->lastDrawnScreenCorners();
        return QPolygonF(QList<QPointF>(corners.begin(), corners.end())).boundingRect();
    }

private Q_SLOTS:
    // Save/Refresh and Auto-Refresh ready, not ticked.
    void init() { QVERIFY(driver.Open(true)); }
    void cleanup()
    {
        QVERIFY(driver.Close());
        QLocale::setDefault(QLocale::system());
        std::setlocale(LC_ALL, "");
    }

    // The window as the user first sees it; then, with every command enabled,
    // Tab walks the whole order back to Exit, passing the presets through the
    // chosen one.
    void startState_asTheUserFirstSeesIt_thenTheTabOrder()
    {
        QVERIFY(driver.Open()); // no output file yet
        frmOrvinel* window = driver.window.get();
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("cmdExit"));
        QCOMPARE(window->windowTitle(), "KML Orvinel");
        QCOMPARE(window->size(), QSize(413, 741));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        // Centred, frame and all, on the whole screen.
        QVERIFY((window->frameGeometry().center() -
                 QGuiApplication::primaryScreen()->geometry().center())
                    .manhattanLength() <= 2);

        QStringList tabOrder;
        for (const char* row : kControls) {
            const QStringList head = QString::fromUtf8(row).split(u'|')[0].split(u' ');
            QWidget* control = driver.Get(head[0]);
            QCOMPARE(Describe(window, control), InPixels(row));
            QCOMPARE(control->font().family(), "MS Sans Serif");
            if (!QStringLiteral("LFO").contains(head[1]) || head.contains(u"on"))
                tabOrder.append(head[0]);
        }
        // The module variables: five empty, the viewer's usual place, opaque white.
        QCOMPARE(QString(window->OutputFilePath() % window->GraphicFilePath() %
                         window->NetworkLinkFilePath() % window->SizeXValue() %
                         window->SizeYValue() % u'|' % window->GoogleEarthPath() % u'|' %
                         window->OverlayColor()),
                 "|/opt/google/earth/pro/google-earth-pro|ffffffff");

        driver.PrepareOutputFile();
        window->EnableSaveAs();
        window->EnableCreateNetworkLink();
        QStringList visited = {QStringLiteral("cmdExit")};
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
        } while (visited.last() != visited.first() && visited.size() < 100);
        QCOMPARE(visited, tabOrder << QStringLiteral("cmdExit"));
        QCOMPARE(driver.services.calls.size(), 0);
    }

    void presets_fromMixedUnits_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("german");
        QTest::newRow("unticked") << false << false;
        QTest::newRow("ticked") << true << false;
        QTest::newRow("ticked, decimal comma") << true << true;
    }

    // Each preset from mixed units: unticked only the window changes; ticked
    // the file holds the preset in fractions. Everything but the two points
    // is left alone.
    void presets_fromMixedUnits()
    {
        QFETCH(bool, ticked);
        QFETCH(bool, german);
        if (german)
            QVERIFY(OpenUnderGermanLocale());
        if (ticked)
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
            expected.txtOverlay_x = expected.txtScreen_x = x;
            expected.txtOverlay_y = expected.txtScreen_y = y;
            expected.comboOverlay_x_units = expected.comboOverlay_y_units =
                expected.comboScreen_x_units = expected.comboScreen_y_units =
                    QStringLiteral("fraction");
            WindowDriver::Click(driver.Get(QStringLiteral("optPreset_%1").arg(index)));

            QVERIFY2(driver.window->Snapshot() == expected, qPrintable(QString::number(index)));
            QCOMPARE(driver.OutputFileExists(), ticked);
            const QHash<QString, QString> file = driver.ReadBack().attributes;
            QCOMPARE(QString(file["screenXY x"] % u' ' % file["screenXY y"] % u' ' %
                             file["screenXY xunits"] % u' ' % file["overlayXY yunits"]),
                     ticked ? QString(x % u' ' % y % u" fraction fraction")
                            : QStringLiteral("   "));
        }
        QCOMPARE(driver.Messages(), QStringList());
    }

    void focusLeaves_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after"); // null: refused, the text and the focus stay
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("german");
        QTest::addColumn<bool>("byTab");
        const auto row = [](const char* control, const char* typed, const char* after,
                            const QString& message = {}, bool german = false) {
            for (const bool byTab : {false, true}) {
                QTest::addRow("%s '%s' german %d tab %d", control, typed, german, byTab)
                    << QString::fromLatin1(control) << QString::fromLatin1(typed)
                    << QString::fromLatin1(after) << message << german << byTab;
            }
        };
        row("txtOverlay_x", "abc", nullptr, NotANumber("overlay x value"));
        row("txtOverlay_y", "0,5", nullptr, NotANumber("overlay y value"));
        row("txtScreen_x", "1,000", nullptr, NotANumber("screen x value"));
        row("txtScreen_y", "--1", nullptr, NotANumber("screen y value"));
        row("txtRotation_x", "1e", nullptr, NotANumber("rotation x value"));
        row("txtRotation_y", "inf", nullptr, NotANumber("rotation y value"));
        row("txtRotation", "45deg", nullptr, NotANumber("rotation angle"));
        row("txtRotation", "180.01", nullptr, kRange);
        row("txtRotation", "-200", nullptr, kRange);
        row("txtDraw_order", "ten", nullptr, NotANumber("draw order"));
        row("comboSize_x", "maintain aspect", nullptr, NotANumber("x-size"));
        row("comboSize_x", "-5", nullptr, kNegative);
        row("comboSize_y", "Maintain aspect ", nullptr, NotANumber("y-size"));
        row("txtOverlay_x", "", "");
        row("txtRotation", "180", "180");
        row("txtRotation", "-180", "-180");
        row("txtDraw_order", "5.0", "5.0");
        row("txtDraw_order", "3.7", "3", kWhole);
        row("txtDraw_order", "-0.5", "-1", kWhole);
        row("comboSize_x", "0", "0");
        row("comboSize_y", "Maintain aspect", "Maintain aspect");
        row("txtOverlay_x", "0,5", nullptr, NotANumber("overlay x value"), true);
        row("comboSize_x", "0,5", nullptr, NotANumber("x-size"), true);
        row("txtDraw_order", "0.5", "0", kWhole, true);
    }

    // Typing, then Tab or a click on Save/Refresh: a refused text keeps the
    // focus and the click never happens; exactly the one message is shown.
    void focusLeaves()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(QString, message);
        QFETCH(bool, german);
        QFETCH(bool, byTab);
        if (german)
            QVERIFY(OpenUnderGermanLocale());
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
        QTRY_COMPARE(driver.window->OverlayWriteCount(), refused || byTab ? 0 : 1);
    }

    void creditLabelClick_runsNoCheck()
    {
        QWidget* field = driver.Get("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, "abc"));
        WindowDriver::Click(driver.Get("lblTarnwell"));
        // Only the label's own command may speak (it finds no guide here).
        QCOMPARE(driver.Messages().filter(QStringLiteral("DataError")), QStringList());
        QVERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key_Tab); // the check still runs when the focus leaves
        QTRY_COMPARE(driver.Messages().last(), NotANumber("overlay x value"));
    }

    void oneChange_writesWhenTickedNeverOtherwise_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("ticked");
        for (const char* control :
             {"txtOverlay_x",         "txtOverlay_y",          "txtScreen_x",
              "txtScreen_y",          "txtRotation_x",         "txtRotation_y",
              "txtRotation",          "txtDraw_order",         "txtOverlay_title",
              "comboSize_x",          "comboSize_y",           "sliderTransparency",
              "comboOverlay_x_units", "comboOverlay_y_units",  "comboScreen_x_units",
              "comboScreen_y_units",  "comboRotation_x_units", "comboRotation_y_units",
              "comboSize_x_units",    "comboSize_y_units"}) {
            for (const bool ticked : {true, false})
                QTest::addRow("%s %d", control, ticked) << QString::fromLatin1(control) << ticked;
        }
    }

    // A keystroke writes once while Auto-Refresh is ticked, never while it is
    // not; the slider's writes its colour. A unit pick empties its value
    // field, even a pick of the unit shown (unticked rows), and that emptying
    // is a change of its own.
    void oneChange_writesWhenTickedNeverOtherwise()
    {
        QFETCH(QString, control);
        QFETCH(bool, ticked);
        QWidget* target = driver.Get(control);
        const bool units = control.endsWith(u"_units");
        const QString value = control.mid(5).chopped(6); // "Overlay_x" of "comboOverlay_x_units"
        const bool size = value.startsWith(u"Size");
        const QString field = QLatin1String(size ? "combo" : "txt") + value;
        for (const QChar axis : {u'x', u'y'}) { // the element is written while either is set
            if (units)
                QVERIFY(WindowDriver::Retype(driver.Get(field.chopped(1) + axis), "0.3"));
        }
        if (ticked)
            QVERIFY(driver.Tick());
        if (qobject_cast<QSlider*>(target))
            target->setFocus(); // a click would move the slider itself
        else if (!units)
            WindowDriver::Click(target);
        QTRY_VERIFY(units || target->hasFocus());
        driver.RemoveOutputFile();
        const int before = driver.window->OverlayWriteCount();
        const QString unit = QLatin1String(ticked ? "pixels" : "fraction");

        if (units)
            QVERIFY(WindowDriver::Pick(static_cast<QComboBox*>(target), unit));
        else
            QTest::keyClick(target, qobject_cast<QSlider*>(target) ? Qt::Key_Left : Qt::Key_1);

        const int writes = driver.window->OverlayWriteCount() - before;
        QCOMPARE(units ? qMin(writes, 1) : writes, ticked ? 1 : 0);
        QCOMPARE(driver.OutputFileExists(), ticked);
        QCOMPARE(driver.Messages(), QStringList());
        if (qobject_cast<QSlider*>(target)) // one step left: 99 percent
            QCOMPARE(driver.ReadBack().texts["color"], QLatin1String(ticked ? "fdffffff" : ""));
        if (!units)
            return;
        QCOMPARE(driver.Text(field), QString());
        const QString point = size ? QStringLiteral("size") : value.chopped(2).toLower() + u"XY";
        QCOMPARE(driver.ReadBack().attributes[point % u' ' % value.back() % u"units"],
                 ticked ? unit : QString());
    }

    void failedWrite_isToldAndTheWindowCarriesOn()
    {
        const QString missing = driver.folder.filePath("gone/overlay.kml");
        driver.PrepareOutputFile(missing);
        QVERIFY(WindowDriver::Retype(driver.Get("comboSize_x"), "200"));
        const QString told =
            "Failure|Orvinel|Could not save the overlay file \"" + missing + "\": ";

        QVERIFY(driver.Tick()); // ticking writes at once, and fails
        QCOMPARE(driver.Messages().size(), 1);
        QVERIFY2(driver.Messages()[0].startsWith(told) && driver.Messages()[0].size() > told.size(),
                 qPrintable(driver.Messages()[0]));

        // Still usable and unchanged: typing goes on, each failed write is told once.
        QWidget* field = driver.Get("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, "5"));
        QCOMPARE(driver.Messages().size(), 2);
        QCOMPARE(driver.window->SizeXValue(), QString());

        // Once the folder is back, typing writes where it was told, as typed.
        QVERIFY(QDir(driver.folder.path()).mkdir("gone"));
        QTest::keyClicks(field, ".25");
        QCOMPARE(ParseOverlayFile(missing).attributes["overlayXY x"], "5.25");
        QCOMPARE(driver.window->SizeXValue(), "200");
    }

    // It follows a preset, a typed value, a unit pick and the slider; a
    // second click raises the same window; closing it changes nothing; no
    // file is written; Exit takes it along.
    void preview_followsChanges_onlyOne_closingChangesNothing()
    {
        PreviewWindow* preview = OpenPreview();
        QVERIFY(preview);
        const double w = preview->canvas()->screenSize().width();
        const double h = preview->canvas()->screenSize().height();
        // No picture: the 128-pixel stand-in, at the lower left while no point is set.
        QTRY_COMPARE(Drawn(preview), QRectF(0, h - 128, 128, 128));
        WindowDriver::Click(driver.Get("optPreset_8")); // "Lower right"
        QTRY_COMPARE(Drawn(preview), QRectF(w - 128, h - 128, 128, 128));
        QVERIFY(WindowDriver::Retype(driver.Get("txtScreen_x"), QStringLiteral("0.5")));
        QTRY_COMPARE(Drawn(preview), QRectF(w / 2 - 128, h - 128, 128, 128));
        // Pixels empties the overlay x: the picture's left edge goes to the middle.
        QVERIFY(WindowDriver::Pick(driver.Get<QComboBox>("comboOverlay_x_units"), "pixels"));
        QTRY_COMPARE(Drawn(preview), QRectF(w / 2, h - 128, 128, 128));
        driver.Get<QSlider>("sliderTransparency")->setValue(50);
        QCOMPARE(preview->canvas()->placement().opacity, 128.0 / 255);
        QVERIFY(preview->findChild<QLabel*>("lblPreviewInfo")->text().contains(u"50% opaque"));

        QCOMPARE(OpenPreview(), preview);
        QCOMPARE(VisibleTopLevels().size(), 2);
        const OverlaySettings before = driver.window->Snapshot();
        preview->close();
        QTRY_VERIFY(!preview->isVisible());
        QVERIFY(driver.window->isVisible() && driver.window->Snapshot() == before);
        QCOMPARE(driver.window->OverlayWriteCount(), 0);
        QVERIFY(!driver.OutputFileExists());
        QCOMPARE(driver.services.calls.size(), 0);

        QCOMPARE(OpenPreview(), preview);
        WindowDriver::Click(driver.Get("cmdExit"));
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
