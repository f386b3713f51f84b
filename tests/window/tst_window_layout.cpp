// The window as the user first sees it: every control's kind, caption, list
// items, place, size, font, tooltip and tab order, and the start state.

#include "WindowTestSupport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>

namespace {

// Kinds: B button, K check box, T text field, L label, F frame, O option,
// E editable list, P pick-only point units, U pick-only size units, S slider.
// Places in twips; font: 0 = 8.25 pt, 1 = 8.25 pt bold, else the size in points.
struct Expected
{
    const char* name;
    char kind;
    const char* container;
    const char* text;
    int left, top, width, height;
    double font;
    bool centred;
};

// clang-format off
const Expected kExpected[] = {
    {"lblOpen_graphic_file", 'L', "", "Click on button at right to open graphic file to use as overlay", 120, 120, 4455, 615, 0, true},
    {"cmdOpen_graphic_file", 'B', "", "Select Overlay Graphic File", 4680, 180, 1455, 495, 1, false},
    {"txtOverlay_title", 'T', "", "", 120, 840, 4455, 405, 9.75, true},
    {"lblOverlaytitle", 'L', "", "Overlay Title", 4800, 915, 1215, 255, 1, true},
    {"framePresets", 'F', "", "Preset Positions", 120, 1320, 3375, 1935, 1, false},
    {"frameGraphicdimensions", 'F', "", "Overlay Dimensions", 3600, 1560, 2415, 1455, 1, false},
    {"frameScreen", 'F', "", "Screen Parameters", 90, 3360, 2895, 1455, 1, false},
    {"frameOverlay", 'F', "", "Overlay Parameters", 3090, 3360, 3015, 1455, 1, false},
    {"frameRotation", 'F', "", "Rotation", 1650, 5040, 4455, 1455, 1, false},
    {"frameDraw_Order", 'F', "", "Draw Order", 120, 5280, 1335, 975, 1, false},
    {"cmdPreview", 'B', "", "Preview", 120, 6330, 1335, 495, 1, false},
    {"frameSize", 'F', "", "Overlay Size", 1800, 6600, 4215, 1335, 1, false},
    {"chkAuto_Refresh", 'K', "", "Auto-Refresh", 120, 6960, 1575, 255, 1, false},
    {"Label1", 'L', "", "Version 0.4", 360, 7440, 855, 255, 0, false},
    {"lblTransparent", 'L', "", "Transparent", 120, 8040, 975, 255, 0, false},
    {"lblSettransparency", 'L', "", "Set Transparency", 240, 8040, 5775, 255, 1, true},
    {"lblOpaque", 'L', "", "Opaque", 5400, 8040, 615, 375, 0, false},
    {"sliderTransparency", 'S', "", "", 90, 8280, 6015, 495, 0, false},
    {"lblOutput_file", 'L', "", "", 90, 8880, 6015, 495, 0, false},
    {"cmdSave_As", 'B', "", "Save As", 120, 9480, 1335, 735, 1, false},
    {"cmdSave_Refresh", 'B', "", "Save/Refresh", 1640, 9480, 1335, 735, 1, false},
    {"cmdHelp", 'B', "", "Help", 3160, 9480, 1335, 735, 1, false},
    {"cmdExit", 'B', "", "Exit", 4680, 9480, 1335, 735, 1, false},
    {"cmdCreate_Network_Link", 'B', "", "Create Network Link And Open In Google Earth", 120, 10320, 1695, 735, 1, false},
    {"cmdNew_Program", 'B', "", "New Program Window", 2040, 10320, 1695, 735, 1, false},
    {"lblTarnwell", 'L', "", "Created by Tarnwell Click here to visit the site", 3840, 10380, 2355, 615, 1, true},
    {"optPreset_0", 'O', "framePresets", "Upper left", 120, 240, 855, 495, 0, false},
    {"optPreset_1", 'O', "framePresets", "Upper middle", 1260, 240, 855, 495, 0, false},
    {"optPreset_2", 'O', "framePresets", "Upper right", 2400, 240, 855, 495, 0, false},
    {"optPreset_3", 'O', "framePresets", "Middle lift", 120, 780, 855, 495, 0, false},
    {"optPreset_4", 'O', "framePresets", "Center", 1260, 780, 855, 495, 0, false},
    {"optPreset_5", 'O', "framePresets", "Middle right", 2400, 780, 855, 495, 0, false},
    {"optPreset_6", 'O', "framePresets", "Lower left", 120, 1320, 855, 495, 0, false},
    {"optPreset_7", 'O', "framePresets", "Lower middle", 1260, 1320, 855, 495, 0, false},
    {"optPreset_8", 'O', "framePresets", "Lower right", 2400, 1320, 855, 495, 0, false},
    {"lblWidth_label", 'L', "frameGraphicdimensions", "Width (pixels)", 120, 495, 975, 255, 0, false},
    {"txtWidth", 'T', "frameGraphicdimensions", "?", 1320, 480, 735, 285, 9.75, true},
    {"lblHeight_label", 'L', "frameGraphicdimensions", "Height (pixels)", 120, 975, 1215, 255, 0, false},
    {"txtHeight", 'T', "frameGraphicdimensions", "?", 1320, 960, 735, 285, 9.75, true},
    {"lblScreenx", 'L', "frameScreen", "x", 660, 240, 135, 255, 0, true},
    {"lblScreeny", 'L', "frameScreen", "y", 2100, 240, 135, 255, 0, true},
    {"comboScreen_x_units", 'P', "frameScreen", "fraction", 120, 480, 1215, 315, 0, false},
    {"comboScreen_y_units", 'P', "frameScreen", "fraction", 1560, 480, 1215, 315, 0, false},
    {"txtScreen_x", 'T', "frameScreen", "", 120, 960, 1215, 375, 9.75, false},
    {"txtScreen_y", 'T', "frameScreen", "", 1560, 960, 1215, 375, 9.75, false},
    {"lbloverlayx", 'L', "frameOverlay", "x", 660, 240, 135, 255, 0, true},
    {"lbloverlayy", 'L', "frameOverlay", "y", 2160, 240, 135, 255, 0, true},
    {"comboOverlay_x_units", 'P', "frameOverlay", "fraction", 120, 480, 1215, 315, 0, false},
    {"comboOverlay_y_units", 'P', "frameOverlay", "fraction", 1620, 480, 1215, 315, 0, false},
    {"txtOverlay_x", 'T', "frameOverlay", "", 120, 960, 1215, 375, 9.75, true},
    {"txtOverlay_y", 'T', "frameOverlay", "", 1620, 960, 1215, 375, 9.75, true},
    {"lblRotation_angle", 'L', "frameRotation", "Angle (+/-180)", 240, 480, 1095, 255, 0, false},
    {"txtRotation", 'T', "frameRotation", "", 240, 780, 1095, 555, 18, true},
    {"lblrotationx", 'L', "frameRotation", "x", 2220, 240, 135, 255, 0, true},
    {"lblrotationy", 'L', "frameRotation", "y", 3660, 240, 135, 255, 0, true},
    {"comboRotation_x_units", 'P', "frameRotation", "fraction", 1680, 480, 1215, 315, 0, false},
    {"comboRotation_y_units", 'P', "frameRotation", "fraction", 3120, 480, 1215, 315, 0, false},
    {"txtRotation_x", 'T', "frameRotation", "", 1680, 960, 1215, 375, 0, false},
    {"txtRotation_y", 'T', "frameRotation", "", 3120, 960, 1215, 375, 0, false},
    {"txtDraw_order", 'T', "frameDraw_Order", "99", 240, 360, 855, 375, 12, true},
    {"lblsizex", 'L', "frameSize", "x", 1080, 240, 135, 255, 0, true},
    {"lblsizey", 'L', "frameSize", "y", 3120, 240, 135, 255, 0, true},
    {"comboSize_x_units", 'U', "frameSize", "fraction", 720, 480, 975, 315, 0, false},
    {"comboSize_y_units", 'U', "frameSize", "fraction", 2700, 480, 975, 315, 0, false},
    {"comboSize_x", 'E', "frameSize", "", 360, 840, 1815, 315, 0, false},
    {"comboSize_y", 'E', "frameSize", "", 2280, 840, 1815, 315, 0, false},
};

const QHash<QString, QString> kTooltips = {
    {"cmdOpen_graphic_file", "Choose graphic file to use as overlay"},
    {"txtOverlay_title", "Enter overlay title here"},
    {"framePresets", "Presets that position overlay at specified location (native dimension)"},
    {"frameGraphicdimensions", "Overlay dimension in pixels (for reference purposes only). Automatically calculated for GIF, JPG and BMP files; for other files, you can manually enter the dimensions here."},
    {"comboScreen_x_units", "Set units for x screen parameter"},
    {"comboScreen_y_units", "Set units for y screen paramete"},
    {"txtOverlay_x", "Set units for x overlay parameter"},
    {"txtOverlay_y", "Set units for y overlay parameter"},
    {"txtRotation", "Up to +180 degrees for counter-clockwise rotation, up to -180 for clockwise."},
    {"txtRotation_x", "x-position for rotation axis (blank defaults to center of overlay)"},
    {"txtRotation_y", "y-position for rotation axis (blank defaults to center of overlay)"},
    {"frameDraw_Order", "Integer that defines order in which overlays are drawn. Overlays with higher draw order numbers are placed on top of overlays with lower numbers."},
    {"sliderTransparency", "Sets transparency of overlay (left for completely transparent, right for completely opaque)"},
    {"cmdSave_As", "Save overlay file under a new name"},
    {"cmdSave_Refresh", "Save overlay data file under current name; refresh data for network link"},
    {"cmdHelp", "Opens post page on Tarnwell website that explains use of this program."},
    {"cmdExit", "Exits program"},
    {"cmdPreview", "Shows where the overlay lands on the screen, updated with every change"},
    {"cmdCreate_Network_Link", "Creates a network link to the main overlay data file which refreshes once a second, and opens it in Google Earth. Change any of the parameters, click \"Save/Refresh\", and the overlay will be modifiied in Google Earth."},
};

const QStringList kTabOrder = {
    "cmdExit", "cmdSave_As", "cmdSave_Refresh", "cmdCreate_Network_Link", "cmdHelp",
    "cmdOpen_graphic_file", "txtOverlay_x", "txtOverlay_y", "comboOverlay_x_units",
    "comboOverlay_y_units", "txtScreen_x", "txtScreen_y", "comboScreen_x_units",
    "comboScreen_y_units", "txtRotation_x", "comboRotation_x_units", "comboSize_x_units",
    "comboSize_y_units", "comboSize_x", "comboSize_y", "optPreset_0", "optPreset_1", "optPreset_2",
    "optPreset_3", "optPreset_4", "optPreset_5", "optPreset_6", "optPreset_7", "optPreset_8",
    "txtRotation", "txtOverlay_title", "sliderTransparency", "txtWidth", "txtHeight",
    "comboRotation_y_units", "txtRotation_y", "txtDraw_order", "chkAuto_Refresh", "cmdNew_Program",
    "cmdPreview",
};
// clang-format on

int Px(int twips)
{
    return qRound(twips / 15.0);
}

QString Caption(QWidget* control)
{
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* field = qobject_cast<QLineEdit*>(control))
        return field->text();
    if (auto* frame = qobject_cast<QGroupBox*>(control))
        return frame->title();
    if (auto* list = qobject_cast<QComboBox*>(control))
        return list->currentText();
    return QString();
}

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->itemText(i));
    return items;
}

bool KindMatches(QWidget* control, char kind)
{
    auto* list = qobject_cast<QComboBox*>(control);
    switch (kind) {
    case 'B':
        return qobject_cast<QPushButton*>(control) != nullptr;
    case 'K':
        return qobject_cast<QCheckBox*>(control) != nullptr;
    case 'T':
        return qobject_cast<QLineEdit*>(control) != nullptr;
    case 'L':
        return qobject_cast<QLabel*>(control) != nullptr;
    case 'F':
        return qobject_cast<QGroupBox*>(control) != nullptr;
    case 'O':
        return qobject_cast<QRadioButton*>(control) != nullptr;
    case 'E':
        return list && list->isEditable() &&
               Items(list) == QStringList{"Maintain native size", "Maintain aspect"};
    case 'P':
        return list && !list->isEditable() &&
               Items(list) == QStringList{"fraction", "pixels", "insetPixels"};
    case 'U':
        return list && !list->isEditable() && Items(list) == QStringList{"fraction", "pixels"};
    case 'S':
        return qobject_cast<QSlider*>(control) != nullptr;
    }
    return false;
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

private Q_SLOTS:
    void init() { QVERIFY(driver.Open()); }

    void cleanup()
    {
        driver.window.reset();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    void window_isFixedSizeAndCentredOnTheWholeScreen()
    {
        frmOrvinel* window = driver.window.get();
        QCOMPARE(window->windowTitle(), QStringLiteral("KML Orvinel"));
        QCOMPARE(window->size(), QSize(413, 741));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect outer = window->frameGeometry();
        QVERIFY2(qAbs(outer.left() - (screen.width() - outer.width()) / 2) <= 1,
                 qPrintable(QStringLiteral("left %1").arg(outer.left())));
        QVERIFY2(qAbs(outer.top() - (screen.height() - outer.height()) / 2) <= 1,
                 qPrintable(QStringLiteral("top %1").arg(outer.top())));
    }

    void startState_asTheUserFirstSeesIt()
    {
        frmOrvinel* window = driver.window.get();
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("cmdExit"));

        for (const char* name : {"cmdOpen_graphic_file", "cmdHelp", "cmdExit", "cmdNew_Program",
                                 "cmdPreview", "lblTarnwell"})
            QVERIFY2(driver.Get(name)->isEnabled(), name);
        for (const char* name :
             {"cmdSave_As", "cmdSave_Refresh", "cmdCreate_Network_Link", "chkAuto_Refresh"})
            QVERIFY2(!driver.Get(name)->isEnabled(), name);

        QCOMPARE(driver.Get<QCheckBox>("chkAuto_Refresh")->checkState(), Qt::Unchecked);
        QVERIFY(driver.Get<QRadioButton>("optPreset_4")->isChecked());
        for (const char* name : {"optPreset_0", "optPreset_1", "optPreset_2", "optPreset_3",
                                 "optPreset_5", "optPreset_6", "optPreset_7", "optPreset_8"})
            QVERIFY2(!driver.Get<QRadioButton>(name)->isChecked(), name);
        QCOMPARE(driver.Get<QSlider>("sliderTransparency")->value(), 100);

        QCOMPARE(window->OutputFilePath(), QString());
        QCOMPARE(window->GraphicFilePath(), QString());
        QCOMPARE(window->NetworkLinkFilePath(), QString());
        QCOMPARE(window->SizeXValue(), QString());
        QCOMPARE(window->SizeYValue(), QString());
        QCOMPARE(window->GoogleEarthPath(),
                 QStringLiteral("/opt/google/earth/pro/google-earth-pro"));
        QCOMPARE(window->OverlayColor(), QStringLiteral("ffffffff"));
        QCOMPARE(driver.services.calls.size(), 0);
    }

    void controls_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kExpected)); ++i)
            QTest::newRow(kExpected[i].name) << i;
    }

    void controls()
    {
        QFETCH(int, row);
        const Expected& expected = kExpected[row];
        QWidget* control = driver.Get(expected.name);

        QVERIFY2(KindMatches(control, expected.kind), control->metaObject()->className());
        const QWidget* container = *expected.container ? driver.Get(expected.container)
                                                       : static_cast<QWidget*>(driver.window.get());
        QCOMPARE(control->parentWidget(), container);
        QCOMPARE(Caption(control), QString::fromUtf8(expected.text));
        QCOMPARE(control->geometry(), QRect(Px(expected.left), Px(expected.top), Px(expected.width),
                                            Px(expected.height)));
        QCOMPARE(control->toolTip(), kTooltips.value(QString::fromLatin1(expected.name)));

        const QFont font = control->font();
        const double points = expected.font <= 1 ? 8.25 : expected.font;
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(font.bold(), expected.font == 1);
        QVERIFY2(font.families().mid(0, 4) == (QStringList{"MS Sans Serif", "Microsoft Sans Serif",
                                                           "Liberation Sans", "Arial"}),
                 qPrintable(font.families().join(u',')));

        Qt::Alignment alignment;
        if (auto* field = qobject_cast<QLineEdit*>(control))
            alignment = field->alignment();
        if (auto* label = qobject_cast<QLabel*>(control))
            alignment = label->alignment();
        if (alignment)
            QCOMPARE(bool(alignment & Qt::AlignHCenter), expected.centred);

        // Captions carry no access key.
        QVERIFY(!Caption(control).contains(u'&'));
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QVERIFY(!button->isDefault());
            QVERIFY(!button->autoDefault());
        }
        if (auto* field = qobject_cast<QLineEdit*>(control))
            QVERIFY(field->maxLength() > 1'000'000);
    }

    void looks_stripsCreditAndTransparencyRow()
    {
        for (const char* name : {"lblOpen_graphic_file", "lblOutput_file"}) {
            auto* strip = driver.Get<QLabel>(name);
            QVERIFY2(strip->autoFillBackground(), name);
            QCOMPARE(strip->palette().color(strip->backgroundRole()),
                     strip->palette().color(QPalette::ToolTipBase));
        }
        auto* credit = driver.Get<QLabel>("lblTarnwell");
        QCOMPARE(credit->palette().color(credit->foregroundRole()), QColor(0, 0, 255));
        QVERIFY(credit->wordWrap());
        for (const char* name : {"lblTransparent", "lblSettransparency", "lblOpaque"})
            QVERIFY2(!driver.Get<QLabel>(name)->autoFillBackground(), name);

        auto* slider = driver.Get<QSlider>("sliderTransparency");
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 100);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        QCOMPARE(slider->tickInterval(), 10);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), 5);

        // The nine presets are one exclusive group, numbered as their names.
        auto* group = driver.Get<QRadioButton>("optPreset_0")->group();
        QVERIFY(group && group->exclusive());
        for (int i = 0; i < 9; ++i) {
            const QByteArray name = "optPreset_" + QByteArray::number(i);
            QCOMPARE(group->id(driver.Get<QRadioButton>(name.constData())), i);
        }
    }

    void tabOrder_followsTheTable()
    {
        QStringList chain;
        QWidget* first = driver.Get("cmdExit");
        QWidget* widget = first;
        do {
            if (widget->focusPolicy() != Qt::NoFocus && !widget->focusProxy() &&
                driver.window->isAncestorOf(widget) && !widget->objectName().isEmpty())
                chain.append(widget->objectName());
            widget = widget->nextInFocusChain();
        } while (widget != first && chain.size() < 200);
        QCOMPARE(chain, kTabOrder);

        // Labels and frames never take the focus.
        for (QWidget* child : driver.window->findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(child) || qobject_cast<QGroupBox*>(child))
                QCOMPARE(child->focusPolicy(), Qt::NoFocus);
        }
    }

    void tabKey_visitsTheControlsInOrder()
    {
        // With every command enabled, Tab walks the order and comes back to
        // Exit; the presets are passed through their selected button.
        frmOrvinel* window = driver.window.get();
        window->EnableSaveAs();
        window->EnableSaveRefresh();
        window->EnableCreateNetworkLink();
        window->EnableAutoRefresh();
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("cmdExit"));

        QStringList visited;
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QString name = QApplication::focusWidget()->objectName();
            if (name == QLatin1String("cmdExit"))
                break;
            visited.append(name);
        }
        QStringList expected = kTabOrder.mid(1);
        expected.removeIf([](const QString& name) {
            return name.startsWith(QLatin1String("optPreset_")) &&
                   name != QLatin1String("optPreset_4");
        });
        QCOMPARE(visited, expected);
        QCOMPARE(driver.services.MessageCount(), 0);
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
