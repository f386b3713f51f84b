// The nine position presets: from any units, with Auto-Refresh off (only the
// window changes) and on (the file holds the preset in fractions).

#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSlider>

namespace {

const char* const kPointFields[] = {"txtOverlay_x", "txtOverlay_y", "txtScreen_x", "txtScreen_y"};
const char* const kPointUnits[] = {"comboOverlay_x_units", "comboOverlay_y_units",
                                   "comboScreen_x_units", "comboScreen_y_units"};

} // namespace

class WindowPresetsTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    // Units other than fraction in every list, and values in every field
    // that a preset must leave alone.
    void MixUnitsAndFillTheRest()
    {
        const QStringList units = {"pixels", "insetPixels", "insetPixels", "pixels"};
        for (int i = 0; i < 4; ++i) {
            driver.Get<QComboBox>(kPointUnits[i])->setCurrentText(units[i]);
            driver.Get<QLineEdit>(kPointFields[i])->setText(QStringLiteral("7"));
        }
        driver.Get<QComboBox>("comboRotation_x_units")->setCurrentText("pixels");
        driver.Get<QLineEdit>("txtRotation_x")->setText("12");
        driver.Get<QLineEdit>("txtRotation_y")->setText("0.25");
        driver.Get<QLineEdit>("txtRotation")->setText("45");
        driver.Get<QLineEdit>("txtDraw_order")->setText("3");
        driver.Get<QLineEdit>("txtOverlay_title")->setText("Legend");
        driver.Get<QComboBox>("comboSize_x")->setEditText("Maintain aspect");
        driver.Get<QComboBox>("comboSize_y_units")->setCurrentText("pixels");
        driver.Get<QComboBox>("comboSize_y")->setEditText("200");
    }

    void VerifyTheRestUntouched()
    {
        QCOMPARE(driver.Get<QComboBox>("comboRotation_x_units")->currentText(), "pixels");
        QCOMPARE(driver.Get<QComboBox>("comboRotation_y_units")->currentText(), "fraction");
        QCOMPARE(driver.Get<QLineEdit>("txtRotation_x")->text(), "12");
        QCOMPARE(driver.Get<QLineEdit>("txtRotation_y")->text(), "0.25");
        QCOMPARE(driver.Get<QLineEdit>("txtRotation")->text(), "45");
        QCOMPARE(driver.Get<QLineEdit>("txtDraw_order")->text(), "3");
        QCOMPARE(driver.Get<QLineEdit>("txtOverlay_title")->text(), "Legend");
        QCOMPARE(driver.Get<QComboBox>("comboSize_x")->currentText(), "Maintain aspect");
        QCOMPARE(driver.Get<QComboBox>("comboSize_y")->currentText(), "200");
        QCOMPARE(driver.Get<QComboBox>("comboSize_y_units")->currentText(), "pixels");
        QCOMPARE(driver.window->OverlayColor(), "ffffffff");
    }

    static void AddPresetRows()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::newRow("Upper left") << 0 << "0"
                                    << "1";
        QTest::newRow("Upper middle") << 1 << "0.5"
                                      << "1";
        QTest::newRow("Upper right") << 2 << "1"
                                     << "1";
        QTest::newRow("Middle lift") << 3 << "0"
                                     << "0.5";
        QTest::newRow("Center") << 4 << "0.5"
                                << "0.5";
        QTest::newRow("Middle right") << 5 << "1"
                                      << "0.5";
        QTest::newRow("Lower left") << 6 << "0"
                                    << "0";
        QTest::newRow("Lower middle") << 7 << "0.5"
                                      << "0";
        QTest::newRow("Lower right") << 8 << "1"
                                     << "0";
    }

private Q_SLOTS:
    void init() { QVERIFY(driver.Open()); }

    void cleanup()
    {
        driver.window.reset();
        driver.services.calls.clear();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    void preset_autoRefreshOff_changesOnlyTheWindow_data() { AddPresetRows(); }

    void preset_autoRefreshOff_changesOnlyTheWindow()
    {
        QFETCH(int, index);
        QFETCH(QString, x);
        QFETCH(QString, y);
        driver.PrepareOutputFile();
        MixUnitsAndFillTheRest();

        const QByteArray name = "optPreset_" + QByteArray::number(index);
        auto* option = driver.Get<QRadioButton>(name.constData());
        WindowDriver::Click(option);
        QTRY_VERIFY(option->isChecked());

        const QString expected[] = {x, y, x, y};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(driver.Get<QLineEdit>(kPointFields[i])->text(), expected[i]);
            QCOMPARE(driver.Get<QComboBox>(kPointUnits[i])->currentText(), "fraction");
        }
        VerifyTheRestUntouched();
        QVERIFY(!driver.OutputFileExists());
        QCOMPARE(driver.window->OverlayWriteCount(), 0);
        QCOMPARE(driver.services.MessageCount(), 0);
    }

    void preset_autoRefreshOn_fileHoldsThePreset_data() { AddPresetRows(); }

    void preset_autoRefreshOn_fileHoldsThePreset()
    {
        QFETCH(int, index);
        QFETCH(QString, x);
        QFETCH(QString, y);
        driver.PrepareOutputFile();
        MixUnitsAndFillTheRest();
        WindowDriver::Click(driver.Get("chkAuto_Refresh"));
        QTRY_VERIFY(driver.OutputFileExists());
        driver.RemoveOutputFile();

        const QByteArray name = "optPreset_" + QByteArray::number(index);
        WindowDriver::Click(driver.Get(name.constData()));
        QTRY_VERIFY(driver.OutputFileExists());

        const ParsedOverlay file = ParseOverlayFile(driver.OutputPath());
        QVERIFY2(file.wellFormed, qPrintable(file.error));
        for (const QString& element : {QStringLiteral("overlayXY"), QStringLiteral("screenXY")}) {
            QCOMPARE(file.Attr(element, "x"), x);
            QCOMPARE(file.Attr(element, "y"), y);
            QCOMPARE(file.Attr(element, "xunits"), "fraction");
            QCOMPARE(file.Attr(element, "yunits"), "fraction");
        }
        QCOMPARE(file.Attr("rotationXY", "x"), "12");
        QCOMPARE(file.Attr("rotationXY", "xunits"), "pixels");
        QCOMPARE(file.Attr("size", "x"), "0");
        QCOMPARE(file.Attr("size", "y"), "200");
        QCOMPARE(file.texts.value("rotation"), "45");

        QFile bytes(driver.OutputPath());
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        const QByteArray point = "x=\"" + x.toUtf8() + "\" y=\"" + y.toUtf8() +
                                 "\" xunits=\"fraction\" yunits=\"fraction\" />\n";
        const QByteArray text = bytes.readAll();
        const QByteArray points = "<overlayXY " + point + "<screenXY " + point;
        QVERIFY2(text.contains(points), text.constData());
        VerifyTheRestUntouched();
        QCOMPARE(driver.services.MessageCount(), 0);
    }

    void arrowKey_movesToTheNextPresetAndAppliesIt()
    {
        auto* center = driver.Get<QRadioButton>("optPreset_4");
        WindowDriver::Click(center);
        QTRY_VERIFY(center->hasFocus());
        QTest::keyClick(center, Qt::Key_Right);
        auto* right = driver.Get<QRadioButton>("optPreset_5");
        QTRY_VERIFY(right->isChecked());
        QCOMPARE(driver.Get<QLineEdit>("txtOverlay_x")->text(), "1");
        QCOMPARE(driver.Get<QLineEdit>("txtScreen_y")->text(), "0.5");
    }
};

QTEST_MAIN(WindowPresetsTest)
#include "tst_window_presets.moc"
