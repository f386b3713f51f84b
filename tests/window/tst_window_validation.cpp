// Focus-loss checks of the eight value fields and the two size lists, driven
// by real focus moves: typing, then a click on another button or Tab.

#include "WindowTestSupport.h"

#include <QLabel>
#include <QPushButton>

namespace {

using Kind = FakeServices::Kind;

const QString kRotationRange = QStringLiteral(
    "Rotation angle has to be between -180 (counterclockwise rotation) and +180 (clockwise "
    "rotation)");
const QString kNegativeSize =
    QStringLiteral("Negative numbers for this value default to native size");

QString NotANumber(const char* what)
{
    return QStringLiteral("Please enter a valid number for the ") + QLatin1String(what);
}

QString EditText(QWidget* control)
{
    if (auto* list = qobject_cast<QComboBox*>(control))
        return list->currentText();
    return qobject_cast<QLineEdit*>(control)->text();
}

} // namespace

class WindowValidationTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    // Leaves the control the way the row says: a click on Save/Refresh, or Tab.
    void Leave(QWidget* control, bool byTab)
    {
        if (byTab)
            QTest::keyClick(control, Qt::Key_Tab);
        else
            WindowDriver::Click(driver.Get("cmdSave_Refresh"));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(driver.Open());
        // Save/Refresh enabled, so a click that gets through writes the file.
        driver.PrepareOutputFile();
    }

    void cleanup()
    {
        driver.window.reset();
        driver.services.calls.clear();
        QTRY_VERIFY(VisibleTopLevels().isEmpty());
    }

    void refused_keepsFocusDropsTheClickAndTellsOnce_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dataError");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("byTab");

        struct Row
        {
            const char* control;
            const char* text;
            bool dataError;
            QString message;
        };
        const Row rows[] = {
            {"txtOverlay_x", "abc", true, NotANumber("overlay x value")},
            {"txtOverlay_y", "0,5", true, NotANumber("overlay y value")},
            {"txtScreen_x", "1,000", true, NotANumber("screen x value")},
            {"txtScreen_y", "--1", true, NotANumber("screen y value")},
            {"txtRotation_x", "1e", true, NotANumber("rotation x value")},
            {"txtRotation_y", "inf", true, NotANumber("rotation y value")},
            {"txtRotation", "45deg", true, NotANumber("rotation angle")},
            {"txtRotation", "180.01", false, kRotationRange},
            {"txtRotation", "-200", false, kRotationRange},
            {"txtDraw_order", "ten", true, NotANumber("draw order")},
            {"comboSize_x", "abc", true, NotANumber("x-size")},
            {"comboSize_x", "maintain aspect", true, NotANumber("x-size")},
            {"comboSize_x", "-5", false, kNegativeSize},
            {"comboSize_y", "Maintain aspect ", true, NotANumber("y-size")},
            {"comboSize_y", "-0.25", false, kNegativeSize},
        };
        for (const Row& row : rows) {
            for (const bool byTab : {false, true}) {
                QTest::addRow("%s %s by %s", row.control, row.text, byTab ? "Tab" : "click")
                    << QString::fromLatin1(row.control) << QString::fromLatin1(row.text)
                    << row.dataError << row.message << byTab;
            }
        }
    }

    void refused_keepsFocusDropsTheClickAndTellsOnce()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, dataError);
        QFETCH(QString, message);
        QFETCH(bool, byTab);
        QWidget* field = driver.Get(control.toLatin1().constData());
        QVERIFY(WindowDriver::Retype(field, text));
        QCOMPARE(EditText(field), text);

        Leave(field, byTab);

        QTRY_COMPARE(driver.services.MessageCount(), 1);
        const FakeServices::Call call = driver.services.calls.first();
        QCOMPARE(call.kind, dataError ? Kind::DataError : Kind::Notice);
        QCOMPARE(call.title, dataError ? QStringLiteral("Data Error") : QStringLiteral("Orvinel"));
        QCOMPARE(call.text, message);
        QVERIFY(field->hasFocus());
        QCOMPARE(EditText(field), text);
        // The click on Save/Refresh never happened.
        QCOMPARE(driver.window->OverlayWriteCount(), 0);
        QVERIFY(!driver.OutputFileExists());
    }

    void accepted_focusMovesOnSilently_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        const char* const rows[][2] = {
            {"txtOverlay_x", ""},
            {"txtOverlay_x", "0.5"},
            {"txtOverlay_y", "-12"},
            {"txtScreen_x", "250"},
            {"txtScreen_y", "-3.5"},
            {"txtRotation_x", ".5"},
            {"txtRotation_y", "5."},
            {"txtRotation_x", " 1e3 "},
            {"txtRotation", "180"},
            {"txtRotation", "-180"},
            {"txtRotation", "+45"},
            {"txtRotation", ""},
            {"txtDraw_order", "12"},
            {"txtDraw_order", ""},
            {"comboSize_x", ""},
            {"comboSize_x", "0"},
            {"comboSize_x", "200"},
            {"comboSize_y", "Maintain aspect"},
            {"comboSize_y", "Maintain native size"},
            {"comboSize_y", "0.25"},
        };
        for (const auto& row : rows) {
            QTest::addRow("%s '%s'", row[0], row[1])
                << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
        }
    }

    void accepted_focusMovesOnSilently()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QWidget* field = driver.Get(control.toLatin1().constData());
        QVERIFY(WindowDriver::Retype(field, text));

        auto* saveRefresh = driver.Get("cmdSave_Refresh");
        WindowDriver::Click(saveRefresh);

        QTRY_VERIFY(saveRefresh->hasFocus());
        QTRY_VERIFY(driver.OutputFileExists());
        QCOMPARE(driver.window->OverlayWriteCount(), 1);
        QCOMPARE(driver.services.MessageCount(), 0);
        QCOMPARE(EditText(field), text);
    }

    void drawOrder_fractionBecomesWholeNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("notice");
        QTest::newRow("3.7") << "3.7"
                             << "3" << true;
        QTest::newRow("-0.5") << "-0.5"
                              << "-1" << true;
        QTest::newRow("-2.5") << "-2.5"
                              << "-3" << true;
        QTest::newRow("0.25e1") << "0.25e1"
                                << "2" << true;
        QTest::newRow("5.0 kept") << "5.0"
                                  << "5.0" << false;
        QTest::newRow("12 kept") << "12"
                                 << "12" << false;
        QTest::newRow("1e2 kept") << "1e2"
                                  << "1e2" << false;
    }

    void drawOrder_fractionBecomesWholeNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(bool, notice);
        auto* field = driver.Get<QLineEdit>("txtDraw_order");
        QVERIFY(WindowDriver::Retype(field, typed));

        auto* saveRefresh = driver.Get("cmdSave_Refresh");
        WindowDriver::Click(saveRefresh);

        // The focus moves on and the click happens, with the converted value.
        QTRY_VERIFY(saveRefresh->hasFocus());
        QTRY_VERIFY(driver.OutputFileExists());
        QCOMPARE(field->text(), expected);
        if (notice) {
            QCOMPARE(driver.services.MessageCount(), 1);
            QCOMPARE(driver.services.calls.first().kind, Kind::Notice);
            QCOMPARE(driver.services.calls.first().text,
                     "Draw Order has been converted to a valid integer value.");
        } else {
            QCOMPARE(driver.services.MessageCount(), 0);
        }
        const ParsedOverlay file = ParseOverlayFile(driver.OutputPath());
        QVERIFY2(file.wellFormed, qPrintable(file.error));
        QCOMPARE(file.texts.value("drawOrder"), expected);
    }

    void creditLabelClick_runsNoCheck()
    {
        auto* field = driver.Get<QLineEdit>("txtOverlay_x");
        QVERIFY(WindowDriver::Retype(field, "abc"));
        WindowDriver::Click(driver.Get("lblTarnwell"));
        // The label's own command ran (it reports the guide missing from the
        // stand-in program folder), but no check did.
        QCOMPARE(driver.services.CallsOf(Kind::DataError).size(), 0);
        QCOMPARE(driver.services.CallsOf(Kind::Failure).size(), 1);
        QVERIFY(field->hasFocus());

        // The check still runs when the focus really leaves.
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_COMPARE(driver.services.CallsOf(Kind::DataError).size(), 1);
        QVERIFY(field->hasFocus());
    }

    void mendedText_letsTheFocusGo()
    {
        auto* field = driver.Get<QLineEdit>("txtRotation");
        QVERIFY(WindowDriver::Retype(field, "200"));
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_COMPARE(driver.services.MessageCount(), 1);
        QVERIFY(field->hasFocus());

        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, "5");
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), driver.Get("txtOverlay_title"));
        QCOMPARE(driver.services.MessageCount(), 1);
        QCOMPARE(field->text(), "25");
    }
};

QTEST_MAIN(WindowValidationTest)
#include "tst_window_validation.moc"
