// Editing the window as a user does: the presets, the checks that run when
// the focus leaves a value (also under a comma-decimal locale), and when the
// overlay file is rewritten (every named change while Auto-Refresh is
// ticked, never while it is not).

#include "WindowTestSupport.h"

#include <QDir>
#include <QSlider>

#include <clocale>

namespace {

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

class WindowEditingTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    // Qt's and (where generated) the C library's numbers with a decimal
    // comma, and a window opened under them.
    bool OpenUnderGermanLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        return QLocale().decimalPoint() == QLatin1String(",") && driver.Open(true);
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

    void preset_fromMixedUnits_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("german");
        for (int index = 0; index < 9; ++index) {
            for (const bool ticked : {false, true})
                QTest::addRow("%d %d", index, ticked) << index << ticked << false;
        }
        QTest::newRow("1 ticked, decimal comma") << 1 << true << true;
    }

    // Unticked only the window changes; ticked the file holds the preset in
    // fractions. Everything but the two points is left alone.
    void preset_fromMixedUnits()
    {
        QFETCH(int, index);
        QFETCH(bool, ticked);
        QFETCH(bool, german);
        if (german)
            QVERIFY(OpenUnderGermanLocale());
        for (const char* name : {"Overlay_x", "Overlay_y", "Screen_x", "Screen_y", "Rotation_x"}) {
            driver.Get<QComboBox>(QStringLiteral("combo%1_units").arg(QLatin1String(name)))
                ->setCurrentText(QLatin1String(name[0] == 'O' ? "insetPixels" : "pixels"));
        }
        const char* const texts[][2] = {{"txtOverlay_x", "7"},
                                        {"txtOverlay_y", "7"},
                                        {"txtScreen_x", "7"},
                                        {"txtScreen_y", "7"},
                                        {"txtRotation_x", "12"},
                                        {"txtRotation", "45"},
                                        {"txtDraw_order", "3"},
                                        {"txtOverlay_title", "Legend"},
                                        {"comboSize_x", "Maintain aspect"}};
        for (const auto& [name, text] : texts)
            driver.SetText(name, QString::fromLatin1(text));
        if (ticked)
            QVERIFY(driver.Tick());
        driver.RemoveOutputFile();

        const QString x = QStringList{"0", "0.5", "1"}[index % 3];
        const QString y = QStringList{"1", "0.5", "0"}[index / 3];
        OverlaySettings expected = driver.window->Snapshot();
        expected.txtOverlay_x = expected.txtScreen_x = x;
        expected.txtOverlay_y = expected.txtScreen_y = y;
        expected.comboOverlay_x_units = expected.comboOverlay_y_units = QStringLiteral("fraction");
        expected.comboScreen_x_units = expected.comboScreen_y_units = QStringLiteral("fraction");
        auto* option = driver.Get<QAbstractButton>(QStringLiteral("optPreset_%1").arg(index));
        WindowDriver::Click(option);
        QTRY_VERIFY(option->isChecked());

        QVERIFY(driver.window->Snapshot() == expected);
        QCOMPARE(driver.Messages(), QStringList());
        QCOMPARE(driver.window->OverlayWriteCount() > 0, ticked);
        if (!ticked)
            return;
        const ParsedOverlay file = driver.ReadBack();
        for (const QString& point : {QStringLiteral("overlayXY"), QStringLiteral("screenXY")}) {
            QCOMPARE((QStringList{file.Attr(point, "x"), file.Attr(point, "y"),
                                  file.Attr(point, "xunits"), file.Attr(point, "yunits")}),
                     (QStringList{x, y, "fraction", "fraction"}));
        }
        QFile bytes(driver.OutputPath());
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        const QByteArray point = "x=\"" + x.toUtf8() + "\" y=\"" + y.toUtf8() +
                                 "\" xunits=\"fraction\" yunits=\"fraction\" />\n";
        QVERIFY(bytes.readAll().contains(QByteArray("<overlayXY " + point + "<screenXY " + point)));
    }

    void focusLeaves_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after"); // null: refused, the text and the focus stay
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("german");
        QTest::addColumn<bool>("byTab");
        struct Row
        {
            const char* control;
            const char* typed;
            const char* after;
            QString message;
            bool german = false;
        };
        const Row rows[] = {
            {"txtOverlay_x", "abc", nullptr, NotANumber("overlay x value")},
            {"txtOverlay_y", "0,5", nullptr, NotANumber("overlay y value")},
            {"txtScreen_x", "1,000", nullptr, NotANumber("screen x value")},
            {"txtScreen_y", "--1", nullptr, NotANumber("screen y value")},
            {"txtRotation_x", "1e", nullptr, NotANumber("rotation x value")},
            {"txtRotation_y", "inf", nullptr, NotANumber("rotation y value")},
            {"txtRotation", "45deg", nullptr, NotANumber("rotation angle")},
            {"txtRotation", "180.01", nullptr, kRange},
            {"txtRotation", "-200", nullptr, kRange},
            {"txtDraw_order", "ten", nullptr, NotANumber("draw order")},
            {"comboSize_x", "abc", nullptr, NotANumber("x-size")},
            {"comboSize_x", "maintain aspect", nullptr, NotANumber("x-size")},
            {"comboSize_x", "-5", nullptr, kNegative},
            {"comboSize_y", "Maintain aspect ", nullptr, NotANumber("y-size")},
            {"txtOverlay_x", "", "", {}},
            {"txtScreen_y", "-3.5", "-3.5", {}},
            {"txtRotation_x", " 1e3 ", " 1e3 ", {}},
            {"txtRotation_y", ".5", ".5", {}},
            {"txtRotation", "180", "180", {}},
            {"txtRotation", "-180", "-180", {}},
            {"txtDraw_order", "12", "12", {}},
            {"txtDraw_order", "5.0", "5.0", {}},
            {"txtDraw_order", "3.7", "3", kWhole},
            {"txtDraw_order", "-0.5", "-1", kWhole},
            {"comboSize_x", "0", "0", {}},
            {"comboSize_x", "200", "200", {}},
            {"comboSize_y", "Maintain aspect", "Maintain aspect", {}},
            {"txtOverlay_x", "0,5", nullptr, NotANumber("overlay x value"), true},
            {"txtRotation", "0,5", nullptr, NotANumber("rotation angle"), true},
            {"txtDraw_order", "0,5", nullptr, NotANumber("draw order"), true},
            {"comboSize_x", "0,5", nullptr, NotANumber("x-size"), true},
            {"txtOverlay_x", "0.5", "0.5", {}, true},
            {"txtRotation", "0.5", "0.5", {}, true},
            {"txtDraw_order", "0.5", "0", kWhole, true},
            {"comboSize_x", "0.5", "0.5", {}, true},
        };
        for (const Row& row : rows) {
            for (const bool byTab : {false, true}) {
                QTest::addRow("%s '%s'%s by %s", row.control, row.typed,
                              row.german ? " decimal comma" : "", byTab ? "Tab" : "click")
                    << QString::fromLatin1(row.control) << QString::fromLatin1(row.typed)
                    << QString::fromLatin1(row.after) << row.message << row.german << byTab;
            }
        }
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
        QWidget* saveRefresh = driver.Get("cmdSave_Refresh");
        QVERIFY(WindowDriver::Retype(field, typed));
        if (byTab)
            QTest::keyClick(field, Qt::Key_Tab);
        else
            WindowDriver::Click(saveRefresh);

        const bool refused = after.isNull();
        QTRY_COMPARE(driver.Messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QTRY_COMPARE(field->hasFocus(), refused);
        QCOMPARE(driver.Text(control), refused ? typed : after);
        QTRY_COMPARE(driver.window->OverlayWriteCount(), refused || byTab ? 0 : 1);
        if (!refused && !byTab)
            QCOMPARE(driver.ReadBack().texts.value("drawOrder"),
                     control == QLatin1String("txtDraw_order") ? after : QStringLiteral("99"));
    }

    void creditLabelClick_runsNoCheck()
    {
        QWidget* field = driver.Get("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, "abc"));
        WindowDriver::Click(driver.Get("lblTarnwell"));
        // Only the label's own command spoke (no guide in the stand-in folder).
        QCOMPARE(driver.Messages().size(), 1);
        QVERIFY(driver.Messages().first().startsWith(QLatin1String("Failure|")));
        QVERIFY(field->hasFocus());
        // The check still runs when the focus really leaves.
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_COMPARE(driver.Messages().size(), 2);
        QCOMPARE(driver.Messages().last(), NotANumber("overlay x value"));
    }

    void oneChange_writesOnceWhenTickedNeverOtherwise_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("ticked");
        for (const char* control :
             {"txtOverlay_x", "txtOverlay_y", "txtScreen_x", "txtScreen_y", "txtRotation_x",
              "txtRotation_y", "txtRotation", "txtDraw_order", "txtOverlay_title", "comboSize_x",
              "comboSize_y", "sliderTransparency"}) {
            for (const bool ticked : {true, false})
                QTest::addRow("%s %d", control, ticked) << QString::fromLatin1(control) << ticked;
        }
    }

    void oneChange_writesOnceWhenTickedNeverOtherwise()
    {
        QFETCH(QString, control);
        QFETCH(bool, ticked);
        if (ticked)
            QVERIFY(driver.Tick());
        QWidget* target = driver.Get(control);
        const bool slider = qobject_cast<QSlider*>(target);
        if (slider)
            target->setFocus(); // a click would move the slider itself
        else
            WindowDriver::Click(target);
        QTRY_VERIFY(target->hasFocus());
        driver.RemoveOutputFile();
        const int before = driver.window->OverlayWriteCount();

        QTest::keyClick(target, slider ? Qt::Key_Left : Qt::Key_1);

        QCOMPARE(driver.window->OverlayWriteCount() - before, ticked ? 1 : 0);
        QCOMPARE(driver.Messages(), QStringList());
        if (ticked)
            QCOMPARE(driver.ReadBack().texts.value("color"), slider ? "fdffffff" : "ffffffff");
    }

    void unitPick_emptiesItsField_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("ticked");
        for (const char* value : {"Overlay_x", "Overlay_y", "Screen_x", "Screen_y", "Rotation_x",
                                  "Rotation_y", "Size_x", "Size_y"}) {
            // "fraction" is the unit already shown: the pick empties all the same.
            for (const char* unit : {"pixels", "fraction"}) {
                for (const bool ticked : {true, false}) {
                    QTest::addRow("%s %s %d", value, unit, ticked)
                        << QString::fromLatin1(value) << QString::fromLatin1(unit) << ticked;
                }
            }
        }
    }

    void unitPick_emptiesItsField()
    {
        QFETCH(QString, value);
        QFETCH(QString, unit);
        QFETCH(bool, ticked);
        const bool size = value.startsWith(QLatin1String("Size"));
        const bool x = value.endsWith(u'x');
        const QString field = QLatin1String(size ? "combo" : "txt") + value;
        const QString sibling = field.chopped(1) + QLatin1String(x ? "y" : "x");
        const QString point = size ? QStringLiteral("size") : value.chopped(2).toLower() + "XY";
        driver.SetText(field, QLatin1String(size ? "Maintain native size" : "0.3"));
        driver.SetText(sibling, QLatin1String(size ? "Maintain aspect" : "0.7"));
        if (ticked)
            QVERIFY(driver.Tick());
        driver.RemoveOutputFile();
        const int before = driver.window->OverlayWriteCount();

        QVERIFY(WindowDriver::Pick(driver.Get<QComboBox>(u"combo" + value + u"_units"), unit));

        QCOMPARE(driver.Text(field), QString());
        QCOMPARE(driver.Text(sibling), QLatin1String(size ? "Maintain aspect" : "0.7"));
        QCOMPARE(driver.Messages(), QStringList());
        QCOMPARE(driver.window->OverlayWriteCount() > before, ticked);
        if (ticked) {
            const ParsedOverlay file = driver.ReadBack();
            QCOMPARE((QStringList{file.Attr(point, x ? "x" : "y"), file.Attr(point, x ? "y" : "x"),
                                  file.Attr(point, x ? "xunits" : "yunits")}),
                     (QStringList{"", QLatin1String(size ? "0" : "0.7"), unit}));
        }
    }

    // Ticking writes at once; then each move of the slider writes once, its
    // colour read back from the file.
    void slider_setsTheColour()
    {
        QVERIFY(driver.Tick());
        QCOMPARE(driver.ReadBack().texts.value("color"), "ffffffff");
        auto* slider = driver.Get<QSlider>("sliderTransparency");
        const std::pair<int, const char*> rows[] = {
            {0, "00ffffff"}, {50, "80ffffff"}, {99, "fdffffff"}, {100, "ffffffff"}};
        for (const auto& [value, color] : rows) {
            const int before = driver.window->OverlayWriteCount();
            slider->setValue(value);
            QCOMPARE(driver.window->OverlayWriteCount() - before, 1);
            QCOMPARE(driver.ReadBack().texts.value("color"), QLatin1String(color));
        }
    }

    void failedWrite_isToldAndTheWindowCarriesOn()
    {
        const QString missing = driver.folder.filePath("gone/overlay.kml");
        driver.PrepareOutputFile(missing);
        driver.SetText("comboSize_x", "Maintain aspect");
        const QString told =
            "Failure|Orvinel|Could not save the overlay file \"" + missing + "\": ";

        QVERIFY(driver.Tick()); // ticking writes at once, and fails
        QCOMPARE(driver.Messages().size(), 1);
        QVERIFY2(driver.Messages()[0].startsWith(told) && driver.Messages()[0].size() > told.size(),
                 qPrintable(driver.Messages()[0]));

        // Still usable and unchanged: typing goes on, each failed write is told once.
        QWidget* field = driver.Get("txtOverlay_x");
        WindowDriver::Click(field);
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key_5);
        QCOMPARE(driver.Text("txtOverlay_x"), "5");
        QCOMPARE(driver.Messages().size(), 2);
        QCOMPARE(driver.window->OutputFilePath(), missing);
        QCOMPARE(driver.window->SizeXValue(), QString());

        // Once the folder is back, the next keystroke writes.
        QVERIFY(QDir(driver.folder.path()).mkdir("gone"));
        QTest::keyClick(field, Qt::Key_0);
        QCOMPARE(driver.Messages().size(), 2);
        QCOMPARE(ParseOverlayFile(missing).Attr("overlayXY", "x"), "50");
        QCOMPARE(driver.window->SizeXValue(), "0");
    }
};

QTEST_MAIN(WindowEditingTest)
#include "tst_window_editing.moc"
