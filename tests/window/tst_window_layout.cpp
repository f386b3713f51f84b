// The window as the user first sees it, read from the live widgets: every
// control's kind, container, place, size, font, start state, caption and
// tooltip, the module variables, and the tab order.

#include "WindowTestSupport.h"

#include <QScreen>

namespace {

// A control a string: "name kind container left top width height font
// [off|on]|caption|tooltip"; places in twips (15 to a pixel), font in points
// with b for bold, off = disabled, on = chosen, "." = the window itself.
// Kinds: B button, K check box, T text field, L label, F frame, O option,
// S slider, E editable size list, P point units, U size units (pick only).
// clang-format off
const char* const kControls[] = {
    "lblOpen_graphic_file L . 120 120 4455 615 8.25|Click on button at right to open graphic file to use as overlay",
    "cmdOpen_graphic_file B . 4680 180 1455 495 8.25b|Select Overlay Graphic File|Choose graphic file to use as overlay",
    "txtOverlay_title T . 120 840 4455 405 9.75||Enter overlay title here",
    "lblOverlaytitle L . 4800 915 1215 255 8.25b|Overlay Title",
    "framePresets F . 120 1320 3375 1935 8.25b|Preset Positions|Presets that position overlay at specified location (native dimension)",
    "frameGraphicdimensions F . 3600 1560 2415 1455 8.25b|Overlay Dimensions|Overlay dimension in pixels (for reference purposes only). Automatically calculated for GIF, JPG and BMP files; for other files, you can manually enter the dimensions here.",
    "frameScreen F . 90 3360 2895 1455 8.25b|Screen Parameters",
    "frameOverlay F . 3090 3360 3015 1455 8.25b|Overlay Parameters",
    "frameRotation F . 1650 5040 4455 1455 8.25b|Rotation",
    "frameDraw_Order F . 120 5280 1335 975 8.25b|Draw Order|Integer that defines order in which overlays are drawn. Overlays with higher draw order numbers are placed on top of overlays with lower numbers.",
    "cmdPreview B . 120 6330 1335 495 8.25b|Preview|Shows where the overlay lands on the screen, updated with every change",
    "frameSize F . 1800 6600 4215 1335 8.25b|Overlay Size",
    "chkAuto_Refresh K . 120 6960 1575 255 8.25b off|Auto-Refresh",
    "Label1 L . 360 7440 855 255 8.25|Version 0.4",
    "lblTransparent L . 120 8040 975 255 8.25|Transparent",
    "lblSettransparency L . 240 8040 5775 255 8.25b|Set Transparency",
    "lblOpaque L . 5400 8040 615 375 8.25|Opaque",
    "sliderTransparency S . 90 8280 6015 495 8.25|100|Sets transparency of overlay (left for completely transparent, right for completely opaque)",
    "lblOutput_file L . 90 8880 6015 495 8.25|",
    "cmdSave_As B . 120 9480 1335 735 8.25b off|Save As|Save overlay file under a new name",
    "cmdSave_Refresh B . 1640 9480 1335 735 8.25b off|Save/Refresh|Save overlay data file under current name; refresh data for network link",
    "cmdHelp B . 3160 9480 1335 735 8.25b|Help|Opens post page on Tarnwell website that explains use of this program.",
    "cmdExit B . 4680 9480 1335 735 8.25b|Exit|Exits program",
    "cmdCreate_Network_Link B . 120 10320 1695 735 8.25b off|Create Network Link And Open In Google Earth|Creates a network link to the main overlay data file which refreshes once a second, and opens it in Google Earth. Change any of the parameters, click \"Save/Refresh\", and the overlay will be modifiied in Google Earth.",
    "cmdNew_Program B . 2040 10320 1695 735 8.25b|New Program Window",
    "lblTarnwell L . 3840 10380 2355 615 8.25b|Created by Tarnwell Click here to visit the site",
    "optPreset_0 O framePresets 120 240 855 495 8.25|Upper left",
    "optPreset_1 O framePresets 1260 240 855 495 8.25|Upper middle",
    "optPreset_2 O framePresets 2400 240 855 495 8.25|Upper right",
    "optPreset_3 O framePresets 120 780 855 495 8.25|Middle lift",
    "optPreset_4 O framePresets 1260 780 855 495 8.25 on|Center",
    "optPreset_5 O framePresets 2400 780 855 495 8.25|Middle right",
    "optPreset_6 O framePresets 120 1320 855 495 8.25|Lower left",
    "optPreset_7 O framePresets 1260 1320 855 495 8.25|Lower middle",
    "optPreset_8 O framePresets 2400 1320 855 495 8.25|Lower right",
    "lblWidth_label L frameGraphicdimensions 120 495 975 255 8.25|Width (pixels)",
    "txtWidth T frameGraphicdimensions 1320 480 735 285 9.75|?",
    "lblHeight_label L frameGraphicdimensions 120 975 1215 255 8.25|Height (pixels)",
    "txtHeight T frameGraphicdimensions 1320 960 735 285 9.75|?",
    "lblScreenx L frameScreen 660 240 135 255 8.25|x",
    "lblScreeny L frameScreen 2100 240 135 255 8.25|y",
    "comboScreen_x_units P frameScreen 120 480 1215 315 8.25|fraction|Set units for x screen parameter",
    "comboScreen_y_units P frameScreen 1560 480 1215 315 8.25|fraction|Set units for y screen paramete",
    "txtScreen_x T frameScreen 120 960 1215 375 9.75|",
    "txtScreen_y T frameScreen 1560 960 1215 375 9.75|",
    "lbloverlayx L frameOverlay 660 240 135 255 8.25|x",
    "lbloverlayy L frameOverlay 2160 240 135 255 8.25|y",
    "comboOverlay_x_units P frameOverlay 120 480 1215 315 8.25|fraction",
    "comboOverlay_y_units P frameOverlay 1620 480 1215 315 8.25|fraction",
    "txtOverlay_x T frameOverlay 120 960 1215 375 9.75||Set units for x overlay parameter",
    "txtOverlay_y T frameOverlay 1620 960 1215 375 9.75||Set units for y overlay parameter",
    "lblRotation_angle L frameRotation 240 480 1095 255 8.25|Angle (+/-180)",
    "txtRotation T frameRotation 240 780 1095 555 18||Up to +180 degrees for counter-clockwise rotation, up to -180 for clockwise.",
    "lblrotationx L frameRotation 2220 240 135 255 8.25|x",
    "lblrotationy L frameRotation 3660 240 135 255 8.25|y",
    "comboRotation_x_units P frameRotation 1680 480 1215 315 8.25|fraction",
    "comboRotation_y_units P frameRotation 3120 480 1215 315 8.25|fraction",
    "txtRotation_x T frameRotation 1680 960 1215 375 8.25||x-position for rotation axis (blank defaults to center of overlay)",
    "txtRotation_y T frameRotation 3120 960 1215 375 8.25||y-position for rotation axis (blank defaults to center of overlay)",
    "txtDraw_order T frameDraw_Order 240 360 855 375 12|99",
    "lblsizex L frameSize 1080 240 135 255 8.25|x",
    "lblsizey L frameSize 3120 240 135 255 8.25|y",
    "comboSize_x_units U frameSize 720 480 975 315 8.25|fraction",
    "comboSize_y_units U frameSize 2700 480 975 315 8.25|fraction",
    "comboSize_x E frameSize 360 840 1815 315 8.25|",
    "comboSize_y E frameSize 2280 840 1815 315 8.25|",
};

const char* const kTabOrder =
    "cmdExit cmdSave_As cmdSave_Refresh cmdCreate_Network_Link cmdHelp cmdOpen_graphic_file "
    "txtOverlay_x txtOverlay_y comboOverlay_x_units comboOverlay_y_units txtScreen_x txtScreen_y "
    "comboScreen_x_units comboScreen_y_units txtRotation_x comboRotation_x_units comboSize_x_units "
    "comboSize_y_units comboSize_x comboSize_y optPreset_0 optPreset_1 optPreset_2 optPreset_3 "
    "optPreset_4 optPreset_5 optPreset_6 optPreset_7 optPreset_8 txtRotation txtOverlay_title "
    "sliderTransparency txtWidth txtHeight comboRotation_y_units txtRotation_y txtDraw_order "
    "chkAuto_Refresh cmdNew_Program cmdPreview";

const QHash<QString, QString> kLists = {{"edit,Maintain native size,Maintain aspect", "E"},
    {"pick,fraction,pixels,insetPixels", "P"}, {"pick,fraction,pixels", "U"}};
const std::pair<const char*, const char*> kKinds[] = {{"QPushButton", "B"}, {"QCheckBox", "K"},
    {"QLineEdit", "T"}, {"QLabel", "L"}, {"QGroupBox", "F"}, {"QRadioButton", "O"}, {"QSlider", "S"}};
// clang-format on

// The table row with its twips turned into pixels.
QString InPixels(const char* row)
{
    QStringList parts = QString::fromUtf8(row).split(u'|');
    QStringList head = parts[0].split(u' ');
    for (int i = 3; i <= 6; ++i)
        head[i] = QString::number(qRound(head[i].toInt() / 15.0));
    parts[0] = head.join(u' ');
    return (parts << QString()).mid(0, 3).join(u'|');
}

// The live control in the same form.
QString Describe(const QWidget* window, QWidget* control)
{
    QString kind = QStringLiteral("?"), text;
    for (const auto& [className, letter] : kKinds) {
        if (control->inherits(className))
            kind = QLatin1String(letter);
    }
    for (const char* property : {"text", "title", "currentText", "value"}) {
        if (const QVariant value = control->property(property); value.isValid()) {
            text = value.toString();
            break;
        }
    }
    if (auto* list = qobject_cast<QComboBox*>(control)) {
        QStringList items = {QLatin1String(list->isEditable() ? "edit" : "pick")};
        for (int i = 0; i < list->count(); ++i)
            items.append(list->itemText(i));
        kind = kLists.value(items.join(u','), QStringLiteral("?"));
    }
    const QRect place = control->geometry();
    const QFont font = control->font();
    QStringList head = {control->objectName(), kind,
                        control->parentWidget() == window ? QStringLiteral(".")
                                                          : control->parentWidget()->objectName()};
    for (const int pixels : {place.x(), place.y(), place.width(), place.height()})
        head.append(QString::number(pixels));
    head.append(QString::number(font.pointSizeF()) + QLatin1String(font.bold() ? "b" : ""));
    if (!control->isEnabled())
        head.append(QStringLiteral("off"));
    if (control->property("checked").toBool())
        head.append(QStringLiteral("on"));
    return QStringList{head.join(u' '), text, control->toolTip()}.join(u'|');
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

private Q_SLOTS:
    void init() { QVERIFY(driver.Open()); }
    void cleanup() { QVERIFY(driver.Close()); }

    void startState_asTheUserFirstSeesIt()
    {
        frmOrvinel* window = driver.window.get();
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("cmdExit"));
        QCOMPARE(window->windowTitle(), "KML Orvinel");
        QCOMPARE(window->size(), QSize(413, 741));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        // Centred on the whole screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect outer = window->frameGeometry();
        QVERIFY(qAbs(outer.left() - (screen.width() - outer.width()) / 2) <= 1);
        QVERIFY(qAbs(outer.top() - (screen.height() - outer.height()) / 2) <= 1);

        const QStringList families = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                      "Arial"};
        for (const char* row : kControls) {
            QWidget* control = driver.Get(QString::fromUtf8(row).section(u' ', 0, 0));
            QCOMPARE(Describe(window, control), InPixels(row));
            QCOMPARE(control->font().families().mid(0, 4), families);
        }
        QCOMPARE(
            (QStringList{window->OutputFilePath(), window->GraphicFilePath(),
                         window->NetworkLinkFilePath(), window->SizeXValue(), window->SizeYValue(),
                         window->GoogleEarthPath(), window->OverlayColor()}),
            (QStringList{"", "", "", "", "", "/opt/google/earth/pro/google-earth-pro",
                         "ffffffff"}));
        QCOMPARE(driver.services.calls.size(), 0);
    }

    // With every command enabled, Tab walks the whole order back to Exit,
    // passing the presets through the chosen one.
    void tabOrder_followsTheTable()
    {
        driver.window->EnableSaveAs();
        driver.window->EnableSaveRefresh();
        driver.window->EnableCreateNetworkLink();
        driver.window->EnableAutoRefresh();
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("cmdExit"));
        QStringList visited = {QStringLiteral("cmdExit")};
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.append(QApplication::focusWidget()->objectName());
        } while (visited.last() != visited.first() && visited.size() < 100);
        QStringList expected = QString::fromLatin1(kTabOrder).split(u' ') << visited.first();
        expected.removeIf([](const QString& name) {
            return name.startsWith(QLatin1String("optPreset_")) && !name.endsWith(u'4');
        });
        QCOMPARE(visited, expected);
        QCOMPARE(driver.services.calls.size(), 0);
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
