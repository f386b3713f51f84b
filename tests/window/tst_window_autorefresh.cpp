// When the window rewrites the overlay file: Save/Refresh always, every named
// change while Auto-Refresh is ticked, never while it is not; unit picks
// empty their field; the slider sets the colour; a failed write is told.

#include "WindowTestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QSlider>

class WindowAutoRefreshTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    void Tick()
    {
        auto* box = driver.Get<QCheckBox>("chkAuto_Refresh");
        WindowDriver::Click(box);
        QTRY_COMPARE(box->checkState(), Qt::Checked);
    }

    ParsedOverlay ReadBack()
    {
        ParsedOverlay file = ParseOverlayFile(driver.OutputPath());
        if (!file.wellFormed)
            qWarning("overlay file: %s", qPrintable(file.error));
        return file;
    }

private Q_SLOTS:
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

    void oneKeystroke_writesOnceWhenTickedNeverOtherwise_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("ticked");
        const char* const controls[] = {
            "txtOverlay_x",     "txtOverlay_y",  "txtScreen_x", "txtScreen_y",
            "txtRotation_x",    "txtRotation_y", "txtRotation", "txtDraw_order",
            "txtOverlay_title", "comboSize_x",   "comboSize_y", "sliderTransparency",
        };
        for (const char* control : controls) {
            for (const bool ticked : {true, false}) {
                QTest::addRow("%s %s", control, ticked ? "ticked" : "unticked")
                    << QString::fromLatin1(control) << ticked;
            }
        }
    }

    void oneKeystroke_writesOnceWhenTickedNeverOtherwise()
    {
        QFETCH(QString, control);
        QFETCH(bool, ticked);
        if (ticked)
            Tick();
        QWidget* target = driver.Get(control.toLatin1().constData());
        if (qobject_cast<QSlider*>(target))
            target->setFocus(); // a click would move the slider itself
        else
            WindowDriver::Click(target);
        QTRY_VERIFY(target->hasFocus());
        driver.RemoveOutputFile();
        const int before = driver.window->OverlayWriteCount();

        QTest::keyClick(target, qobject_cast<QSlider*>(target) ? Qt::Key_Left : Qt::Key_1);

        QCOMPARE(driver.window->OverlayWriteCount() - before, ticked ? 1 : 0);
        QCOMPARE(driver.OutputFileExists(), ticked);
        QCOMPARE(driver.services.MessageCount(), 0);
        if (ticked) {
            const ParsedOverlay file = ReadBack();
            QVERIFY(file.wellFormed);
            const QString expectedColor = control == QLatin1String("sliderTransparency")
                                              ? QStringLiteral("fdffffff")
                                              : QStringLiteral("ffffffff");
            QCOMPARE(file.texts.value("color"), expectedColor);
        }
    }

    void typing_eachKeystrokeWritesTheTextSoFar()
    {
        Tick();
        auto* field = driver.Get<QLineEdit>("txtScreen_x");
        WindowDriver::Click(field);
        QTRY_VERIFY(field->hasFocus());
        const int before = driver.window->OverlayWriteCount();
        QTest::keyClicks(field, "0.25");
        QCOMPARE(driver.window->OverlayWriteCount() - before, 4);
        QCOMPARE(ReadBack().Attr("screenXY", "x"), "0.25");
    }

    void saveRefresh_writesWhetherTickedOrNot()
    {
        auto* button = driver.Get("cmdSave_Refresh");
        driver.Get<QLineEdit>("txtOverlay_title")->setText("City & <River>");
        WindowDriver::Click(button);
        QTRY_VERIFY(driver.OutputFileExists());
        QCOMPARE(driver.window->OverlayWriteCount(), 1);
        QCOMPARE(ReadBack().texts.value("name"), "City & <River>");
    }

    void tickingWritesAtOnce_untickingWritesNothing()
    {
        auto* box = driver.Get<QCheckBox>("chkAuto_Refresh");
        Tick();
        QVERIFY(driver.OutputFileExists());
        QCOMPARE(driver.window->OverlayWriteCount(), 1);
        const ParsedOverlay file = ReadBack();
        QCOMPARE(file.texts.value("drawOrder"), "99");
        QCOMPARE(file.texts.value("color"), "ffffffff");

        driver.RemoveOutputFile();
        WindowDriver::Click(box);
        QTRY_COMPARE(box->checkState(), Qt::Unchecked);
        QVERIFY(!driver.OutputFileExists());
        QCOMPARE(driver.window->OverlayWriteCount(), 1);
    }

    void unitPick_emptiesItsField_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("sibling");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("ticked");
        struct Row
        {
            const char* units;
            const char* field;
            const char* sibling;
            const char* element;
            const char* attribute;
        };
        const Row rows[] = {
            {"comboOverlay_x_units", "txtOverlay_x", "txtOverlay_y", "overlayXY", "x"},
            {"comboOverlay_y_units", "txtOverlay_y", "txtOverlay_x", "overlayXY", "y"},
            {"comboScreen_x_units", "txtScreen_x", "txtScreen_y", "screenXY", "x"},
            {"comboScreen_y_units", "txtScreen_y", "txtScreen_x", "screenXY", "y"},
            {"comboRotation_x_units", "txtRotation_x", "txtRotation_y", "rotationXY", "x"},
            {"comboRotation_y_units", "txtRotation_y", "txtRotation_x", "rotationXY", "y"},
            {"comboSize_x_units", "comboSize_x", "comboSize_y", "size", "x"},
            {"comboSize_y_units", "comboSize_y", "comboSize_x", "size", "y"},
        };
        for (const Row& row : rows) {
            // "fraction" is the unit already shown: the pick empties all the same.
            for (const char* unit : {"pixels", "fraction"}) {
                for (const bool ticked : {true, false}) {
                    QTest::addRow("%s %s %s", row.units, unit, ticked ? "ticked" : "unticked")
                        << QString::fromLatin1(row.units) << QString::fromLatin1(row.field)
                        << QString::fromLatin1(row.sibling) << QString::fromLatin1(row.element)
                        << QString::fromLatin1(row.attribute) << QString::fromLatin1(unit)
                        << ticked;
                }
            }
        }
    }

    void unitPick_emptiesItsField()
    {
        QFETCH(QString, units);
        QFETCH(QString, field);
        QFETCH(QString, sibling);
        QFETCH(QString, element);
        QFETCH(QString, attribute);
        QFETCH(QString, unit);
        QFETCH(bool, ticked);
        auto setText = [this](const QString& name, const QString& text) {
            QWidget* control = driver.Get(name.toLatin1().constData());
            if (auto* list = qobject_cast<QComboBox*>(control))
                list->setEditText(text);
            else
                qobject_cast<QLineEdit*>(control)->setText(text);
        };
        auto textOf = [this](const QString& name) {
            QWidget* control = driver.Get(name.toLatin1().constData());
            if (auto* list = qobject_cast<QComboBox*>(control))
                return list->currentText();
            return qobject_cast<QLineEdit*>(control)->text();
        };
        const bool sizeGroup = element == QLatin1String("size");
        setText(field, sizeGroup ? QStringLiteral("Maintain native size") : QStringLiteral("0.3"));
        setText(sibling, sizeGroup ? QStringLiteral("Maintain aspect") : QStringLiteral("0.7"));
        if (ticked)
            Tick();
        driver.RemoveOutputFile();
        const int before = driver.window->OverlayWriteCount();

        auto* list = driver.Get<QComboBox>(units.toLatin1().constData());
        QVERIFY(WindowDriver::Pick(list, unit));

        QCOMPARE(list->currentText(), unit);
        QCOMPARE(textOf(field), QString());
        QCOMPARE(textOf(sibling),
                 sizeGroup ? QStringLiteral("Maintain aspect") : QStringLiteral("0.7"));
        QCOMPARE(driver.services.MessageCount(), 0);
        if (!ticked) {
            QCOMPARE(driver.window->OverlayWriteCount(), before);
            QVERIFY(!driver.OutputFileExists());
            return;
        }
        QVERIFY(driver.window->OverlayWriteCount() > before);
        const ParsedOverlay file = ReadBack();
        QVERIFY(file.wellFormed);
        QCOMPARE(file.Attr(element, attribute.toLatin1().constData()), QString());
        const char* siblingAttribute = attribute == QLatin1String("x") ? "y" : "x";
        QCOMPARE(file.Attr(element, siblingAttribute),
                 sizeGroup ? QStringLiteral("0") : QStringLiteral("0.7"));
        QCOMPARE(file.Attr(element, (attribute + QLatin1String("units")).toLatin1().constData()),
                 unit);
    }

    void sizeListPick_storesTheSizeValueAndWrites_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("value");
        QTest::newRow("x native") << "comboSize_x"
                                  << "Maintain native size"
                                  << "-1";
        QTest::newRow("x aspect") << "comboSize_x"
                                  << "Maintain aspect"
                                  << "0";
        QTest::newRow("y native") << "comboSize_y"
                                  << "Maintain native size"
                                  << "-1";
        QTest::newRow("y aspect") << "comboSize_y"
                                  << "Maintain aspect"
                                  << "0";
    }

    void sizeListPick_storesTheSizeValueAndWrites()
    {
        QFETCH(QString, list);
        QFETCH(QString, item);
        QFETCH(QString, value);
        Tick();
        driver.RemoveOutputFile();
        auto* sizeList = driver.Get<QComboBox>(list.toLatin1().constData());
        QVERIFY(WindowDriver::Pick(sizeList, item));

        QCOMPARE(sizeList->currentText(), item);
        const bool isX = list.endsWith(u'x');
        QCOMPARE(isX ? driver.window->SizeXValue() : driver.window->SizeYValue(), value);
        const ParsedOverlay file = ReadBack();
        QCOMPARE(file.Attr("size", isX ? "x" : "y"), value);
        QCOMPARE(file.Attr("size", isX ? "y" : "x"), QString());
        QCOMPARE(driver.services.MessageCount(), 0);
    }

    void slider_setsTheColour_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("color");
        QTest::newRow("0") << 0 << "00ffffff";
        QTest::newRow("50") << 50 << "80ffffff";
        QTest::newRow("99") << 99 << "fdffffff";
        QTest::newRow("100") << 100 << "ffffffff";
    }

    void slider_setsTheColour()
    {
        QFETCH(int, value);
        QFETCH(QString, color);
        auto* slider = driver.Get<QSlider>("sliderTransparency");
        slider->setValue(value == 100 ? 10 : 100);

        // Unticked: the colour changes, nothing is written.
        slider->setValue(value);
        QCOMPARE(driver.window->OverlayColor(), color);
        QVERIFY(!driver.OutputFileExists());

        slider->setValue(value == 100 ? 10 : 100);
        Tick();
        driver.RemoveOutputFile();
        const int before = driver.window->OverlayWriteCount();
        slider->setValue(value);
        QCOMPARE(driver.window->OverlayWriteCount() - before, 1);
        QCOMPARE(ReadBack().texts.value("color"), color);
    }

    void slider_keyboardEndsGiveTransparentAndOpaque()
    {
        Tick();
        auto* slider = driver.Get<QSlider>("sliderTransparency");
        slider->setFocus();
        QTRY_VERIFY(slider->hasFocus());
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(ReadBack().texts.value("color"), "00ffffff");
        QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(slider->value(), 5);
        QCOMPARE(ReadBack().texts.value("color"), "0cffffff");
        QTest::keyClick(slider, Qt::Key_End);
        QCOMPARE(ReadBack().texts.value("color"), "ffffffff");
    }

    void failedWrite_isToldAndTheWindowCarriesOn()
    {
        const QString missing = driver.folder.filePath("gone/overlay.kml");
        driver.PrepareOutputFile(missing);
        driver.Get<QComboBox>("comboSize_x")->setEditText("Maintain aspect");

        Tick(); // ticking writes at once, and fails
        QCOMPARE(driver.services.MessageCount(), 1);
        const FakeServices::Call failure = driver.services.calls.first();
        QCOMPARE(failure.kind, FakeServices::Kind::Failure);
        const QString prefix = "Could not save the overlay file \"" + missing + "\": ";
        QVERIFY2(failure.text.startsWith(prefix) && failure.text.size() > prefix.size(),
                 qPrintable(failure.text));
        QCOMPARE(driver.window->SizeXValue(), QString());

        // Still usable: typing goes on, each write is told once.
        auto* field = driver.Get<QLineEdit>("txtOverlay_x");
        WindowDriver::Click(field);
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key_5);
        QCOMPARE(field->text(), "5");
        QCOMPARE(driver.services.CallsOf(FakeServices::Kind::Failure).size(), 2);
        QVERIFY(field->hasFocus());
        QCOMPARE(driver.window->OutputFilePath(), missing);
        QCOMPARE(driver.window->SizeXValue(), QString());

        // Once the folder is back, the next keystroke writes.
        QVERIFY(QDir(driver.folder.path()).mkdir("gone"));
        QTest::keyClick(field, Qt::Key_0);
        QCOMPARE(driver.services.CallsOf(FakeServices::Kind::Failure).size(), 2);
        QCOMPARE(ParseOverlayFile(missing).Attr("overlayXY", "x"), "50");
        QCOMPARE(driver.window->SizeXValue(), "0");
    }
};

QTEST_MAIN(WindowAutoRefreshTest)
#include "tst_window_autorefresh.moc"
