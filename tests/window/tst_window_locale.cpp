// Under a comma-decimal locale the window still takes and writes numbers in
// the one form every KML viewer reads: "0.5" passes, "0,5" is refused, and
// the presets write "0.5".

#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QRadioButton>

#include <clocale>

class WindowLocaleTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // The C library's locale too, where the machine has it generated.
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
            qWarning("de_DE.UTF-8 is not generated here; only Qt's locale is German");
        QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    }

    void init()
    {
        QVERIFY(driver.Open());
        driver.PrepareOutputFile();
    }

    void cleanup()
    {
        driver.window.reset();
        driver.services.calls.clear();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    void commaRefused_pointAccepted_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("message");
        QTest::newRow("overlay x") << "txtOverlay_x"
                                   << "Please enter a valid number for the overlay x value";
        QTest::newRow("rotation") << "txtRotation"
                                  << "Please enter a valid number for the rotation angle";
        QTest::newRow("draw order") << "txtDraw_order"
                                    << "Please enter a valid number for the draw order";
        QTest::newRow("size x") << "comboSize_x"
                                << "Please enter a valid number for the x-size";
    }

    void commaRefused_pointAccepted()
    {
        QFETCH(QString, control);
        QFETCH(QString, message);
        QWidget* field = driver.Get(control.toLatin1().constData());

        QVERIFY(WindowDriver::Retype(field, "0,5"));
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_COMPARE(driver.services.MessageCount(), 1);
        QCOMPARE(driver.services.calls.first().kind, FakeServices::Kind::DataError);
        QCOMPARE(driver.services.calls.first().text, message);
        QVERIFY(field->hasFocus());

        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, "0.5");
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_VERIFY(!field->hasFocus());
        // The draw order is made whole (with its notice); nothing else speaks.
        const bool drawOrder = control == QLatin1String("txtDraw_order");
        QCOMPARE(driver.services.MessageCount(), drawOrder ? 2 : 1);
        if (drawOrder)
            QCOMPARE(qobject_cast<QLineEdit*>(field)->text(), "0");
    }

    void presets_writeAPointDecimal()
    {
        WindowDriver::Click(driver.Get("chkAuto_Refresh"));
        QTRY_VERIFY(driver.OutputFileExists());
        WindowDriver::Click(driver.Get("optPreset_1"));
        QTRY_VERIFY(driver.Get<QRadioButton>("optPreset_1")->isChecked());

        QCOMPARE(driver.Get<QLineEdit>("txtOverlay_x")->text(), "0.5");
        QCOMPARE(driver.Get<QLineEdit>("txtScreen_x")->text(), "0.5");
        const ParsedOverlay file = ParseOverlayFile(driver.OutputPath());
        QVERIFY2(file.wellFormed, qPrintable(file.error));
        QCOMPARE(file.Attr("overlayXY", "x"), "0.5");
        QCOMPARE(file.Attr("screenXY", "x"), "0.5");
        QCOMPARE(file.Attr("screenXY", "y"), "1");
    }
};

QTEST_MAIN(WindowLocaleTest)
#include "tst_window_locale.moc"
