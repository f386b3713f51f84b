// Undo and redo in the main window, driven as a user drives it: random runs
// of actions undone and redone, what one step is, the Edit menu, the keys in
// both windows, and hand edits from the preview.

#include "HandEdit.h"
#include "PreviewCanvas.h"
#include "PreviewWindow.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QUndoStack>

#include <functional>

namespace {

// Values every check accepts; "2.5" in the draw order is replaced by "2" when
// the focus leaves it by a click.
struct Typed
{
    const char* name = nullptr;
    QStringList values;
};
const Typed kTyped[] = {
    {"txtOverlay_title", {"Tarn", "Mere", ""}},
    {"txtDraw_order", {"7", "2.5", "120"}},
    {"txtOverlay_x", {"0.25", "12", "0"}},
    {"txtOverlay_y", {"0.75", "3"}},
    {"txtScreen_x", {"0.1", "40"}},
    {"txtScreen_y", {"1", "0.9"}},
    {"txtRotation_x", {"0.5", "8"}},
    {"txtRotation_y", {"0.2"}},
    {"txtRotation", {"-45", "180", "12.5"}},
    {"comboSize_x", {"100", "0.5"}},
    {"comboSize_y", {"64"}},
};
const char* const kLists[] = {"comboOverlay_x_units",  "comboOverlay_y_units",
                              "comboScreen_x_units",   "comboScreen_y_units",
                              "comboRotation_x_units", "comboRotation_y_units",
                              "comboSize_x_units",     "comboSize_y_units",
                              "comboSize_x",           "comboSize_y"};
const Qt::Key kSliderKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown};

} // namespace

class UndoTest : public QObject
{
    Q_OBJECT

private:
    WindowDriver driver;

    const QUndoStack& Stack() const { return *driver.window->findChild<QUndoStack*>(); }
    QAction* Action(const char* name) const { return driver.Get<QAction>(name); }

    // Everything undo must put back that a user sees.
    QStringList State() const
    {
        const OverlaySettings& s = driver.window->Snapshot();
        QStringList state = driver.Shown();
        state << s.picture << s.colour << driver.Text("txtWidth") << driver.Text("txtHeight")
              << driver.window->windowTitle()
              << QString::number(driver.Get<QSlider>("sliderTransparency")->value())
              << driver.Get<QLabel>("lblOpen_graphic_file")->text()
              << QString::number(driver.window->findChild<QButtonGroup*>()->checkedId());
        return state;
    }

    // The step recorded once the action's event-loop turn is over.
    static void Settle() { QCoreApplication::processEvents(); }

    static void TypeInto(QWidget* control, const QString& text)
    {
        auto* list = qobject_cast<QComboBox*>(control);
        auto* field = list ? list->lineEdit() : static_cast<QLineEdit*>(control);
        control->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            QTest::keyClicks(field, text);
    }

    PreviewWindow* Preview() const
    {
        WindowDriver::Click(driver.Get("cmdPreview"));
        auto* preview = driver.window->findChild<PreviewWindow*>();
        return preview && QTest::qWaitForWindowExposed(preview) ? preview : nullptr;
    }

    // One random user action.
    void Act(QRandomGenerator& random, PreviewWindow* preview)
    {
        const auto any = [&random](int count) {
            return int(random.bounded(count));
        };
        switch (any(6)) {
        case 0: {
            const Typed& typed = kTyped[any(int(std::size(kTyped)))];
            TypeInto(driver.Get(typed.name), typed.values[any(int(typed.values.size()))]);
            break;
        }
        case 1: {
            auto* list = driver.Get<QComboBox>(kLists[any(int(std::size(kLists)))]);
            list->setFocus();
            QTest::keyClick(list, any(2) ? Qt::Key_Down : Qt::Key_Up);
            break;
        }
        case 2:
            WindowDriver::Click(driver.Get(QStringLiteral("optPreset_%1").arg(any(9))));
            break;
        case 3:
            QTest::keyClick(driver.Get("sliderTransparency"), kSliderKeys[any(4)]);
            break;
        case 4:
            driver.services.fileDialogAnswers = {
                driver.folder.filePath(any(2) ? QStringLiteral("Legend.gif") : "Tarn.gif")};
            WindowDriver::Click(driver.Get("cmdOpen_graphic_file"));
            break;
        default: {
            HandEdit edit{{}, QStringLiteral("Move in Preview")};
            const int moves = 1 + any(3);
            Q_EMIT preview->handEditStarted();
            for (int i = 0; i < moves; ++i) {
                edit.fields = {{&OverlaySettings::screenX, QString::number(any(100) / 100.0)},
                               {&OverlaySettings::screenY, QString::number(any(100) / 100.0)}};
                if (any(3) == 0)
                    edit.fields.emplace_back(&OverlaySettings::sizeX, QString::number(any(500)));
                Q_EMIT preview->handEdited(edit);
            }
            Q_EMIT preview->handEditFinished(any(5) == 0);
        }
        }
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(driver.Open());
        QVERIFY(WriteAll(driver.folder.filePath(QStringLiteral("Legend.gif"))));
        QVERIFY(WriteAll(driver.folder.filePath(QStringLiteral("Tarn.gif"))));
    }
    void cleanup() { QVERIFY(driver.Close()); }

    // Undoing every step of a run gives back its start exactly; redoing them
    // gives back its end.
    void randomRuns_undoToStart_redoToEnd()
    {
        PreviewWindow* preview = Preview();
        QVERIFY(preview);
        QVERIFY(
            QTest::qWaitForWindowActive(driver.window.get()) ||
            (driver.window->activateWindow(), QTest::qWaitForWindowActive(driver.window.get())));
        const quint32 randomStart = QRandomGenerator::global()->generate();
        QRandomGenerator random(randomStart);
        for (int run = 0; run < 1000; ++run) {
            Settle();
            const QStringList start = State();
            const int startIndex = Stack().index();
            const int actions = 1 + int(random.bounded(4));
            for (int i = 0; i < actions; ++i)
                Act(random, preview);
            driver.window->setFocus(); // the typing is over
            Settle();
            const QStringList end = State();
            const int steps = Stack().index() - startIndex;
            const QByteArray where = "random start " + QByteArray::number(randomStart) + " run " +
                                     QByteArray::number(run);
            QVERIFY2(steps <= actions, where);
            for (int i = 0; i < steps; ++i)
                Action("mnuUndo")->trigger();
            QVERIFY2(State() == start, where);
            for (int i = 0; i < steps; ++i)
                Action("mnuRedo")->trigger();
            QVERIFY2(State() == end, where);
        }
        QVERIFY(driver.services.CallsOf(FakeServices::Kind::DataError).isEmpty());
    }

    void oneAction_isOneStep_namedInTheMenu_data()
    {
        using Act = std::function<void(UndoTest&)>;
        QTest::addColumn<Act>("setup");
        QTest::addColumn<Act>("act");
        QTest::addColumn<QString>("undoText");
        const Act nothing = [](UndoTest&) {
        };
        QTest::addRow("keystrokes in one field") << nothing << Act([](UndoTest& t) {
            TypeInto(t.driver.Get("txtOverlay_title"), "Tarn");
        }) << "Undo Overlay Title";
        QTest::addRow("typing again after leaving the field") << Act([](UndoTest& t) {
            TypeInto(t.driver.Get("txtOverlay_title"), "Tarn");
            WindowDriver::Click(t.driver.Get("txtDraw_order"));
        }) << Act([](UndoTest& t) { TypeInto(t.driver.Get("txtOverlay_title"), "well"); })
                                                              << "Undo Overlay Title";
        QTest::addRow("a preset with its units and values") << Act([](UndoTest& t) {
            WindowDriver::Pick(t.driver.Get<QComboBox>("comboScreen_x_units"), "pixels");
        }) << Act([](UndoTest& t) { WindowDriver::Click(t.driver.Get("optPreset_8")); })
                                                            << "Undo Lower right";
        QTest::addRow("a units pick empties its value") << Act([](UndoTest& t) {
            TypeInto(t.driver.Get("txtOverlay_x"), "0.4");
        }) << Act([](UndoTest& t) {
            WindowDriver::Pick(t.driver.Get<QComboBox>("comboOverlay_x_units"), "pixels");
        }) << "Undo Overlay X Units";
        // The replacement made when the focus leaves is a step of its own,
        // named after the field left, not the one clicked.
        QTest::addRow("a replaced draw order, left by a click")
            << Act([](UndoTest& t) { TypeInto(t.driver.Get("txtDraw_order"), "2.5"); })
            << Act([](UndoTest& t) { WindowDriver::Click(t.driver.Get("txtOverlay_title")); })
            << "Undo Draw Order";
        QTest::addRow("a slider drag from press to release") << nothing << Act([](UndoTest& t) {
            auto* slider = t.driver.Get<QSlider>("sliderTransparency");
            QStyleOptionSlider option;
            option.initFrom(slider);
            option.orientation = slider->orientation();
            option.minimum = slider->minimum();
            option.maximum = slider->maximum();
            option.sliderPosition = option.sliderValue = slider->value();
            QPoint at =
                slider->style()
                    ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
                    .center();
            QTest::mousePress(slider, Qt::LeftButton, {}, at);
            for (int i = 0; i < 3; ++i) {
                at.rx() -= 15;
                QTest::mouseMove(slider, at);
                Settle();
            }
            QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
        }) << "Undo Transparency";
    }

    // The action is one step, named in the menu; undo goes back to before
    // it, redo forward to after it.
    void oneAction_isOneStep_namedInTheMenu()
    {
        QFETCH(std::function<void(UndoTest&)>, setup);
        QFETCH(std::function<void(UndoTest&)>, act);
        QFETCH(QString, undoText);
        setup(*this);
        Settle();
        const QStringList before = State();
        const int index = Stack().index();
        act(*this);
        Settle();
        const QStringList after = State();
        QVERIFY(after != before);
        QCOMPARE(Stack().index(), index + 1);
        QCOMPARE(Action("mnuUndo")->iconText(), undoText);
        QVERIFY(Action("mnuUndo")->isEnabled());
        QVERIFY(!Action("mnuRedo")->isEnabled());
        Action("mnuUndo")->trigger();
        QCOMPARE(State(), before);
        QCOMPARE(Action("mnuRedo")->iconText(), QString(undoText).replace("Undo", "Redo"));
        QVERIFY(Action("mnuRedo")->isEnabled());
        Action("mnuRedo")->trigger();
        QCOMPARE(State(), after);
    }

    // Ctrl+Z is the window's undo in either window, a focused field's own
    // undo never; Ctrl+Y and Ctrl+Shift+Z both redo, from a field too.
    void undoRedoKeys_inTheFieldAndInThePreview()
    {
        PreviewWindow* preview = driver.OpenPreview();
        QVERIFY(preview);
        const QStringList start = State();
        TypeInto(driver.Get("txtOverlay_title"), "Tarn");
        WindowDriver::Click(driver.Get("optPreset_8"));
        Settle();
        driver.Get("txtOverlay_title")->setFocus();
        // Offscreen runs know one platform's keys; these are every platform's.
        for (const char* keys : {"Ctrl+Y", "Ctrl+Shift+Z"})
            QVERIFY(Action("mnuRedo")->shortcuts().contains(QKeySequence(QLatin1String(keys))));
        const QString presetX = driver.Text("txtScreen_x");
        for (const Qt::KeyboardModifiers redo :
             {Qt::ControlModifier | Qt::NoModifier, Qt::ControlModifier | Qt::ShiftModifier}) {
            QTest::keyClick(driver.Get("txtOverlay_title"), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(driver.Text("txtOverlay_title"), "Tarn");
            QCOMPARE(driver.Text("txtScreen_x"), start.filter("txtScreen_x=").value(0).mid(12));
            QTest::keyClick(driver.Get("txtOverlay_title"),
                            redo.testFlag(Qt::ShiftModifier) ? Qt::Key_Z : Qt::Key_Y, redo);
            QCOMPARE(driver.Text("txtScreen_x"), presetX);
        }
        QTest::keyClick(driver.Get("txtOverlay_title"), Qt::Key_Z, Qt::ControlModifier);
        preview->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == preview);
        QTest::keyClick(preview, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(State(), start);
    }

    // A real drag in the preview: the fields follow through the window, the
    // file holds the final place when Auto-Refresh is ticked and is never
    // written when it is not, and the drag is one step. Undone to the start,
    // the file holds what undo put back, and the Save As stays.
    void realDrag_throughTheWindow_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << true;
        QTest::newRow("unticked") << false;
    }
    void realDrag_throughTheWindow()
    {
        QFETCH(bool, ticked);
        QVERIFY(driver.PrepareOutputFile() && (!ticked || driver.Tick()));
        WindowDriver::Click(driver.Get("optPreset_4"));
        Settle();
        driver.RemoveOutputFile();
        const int writes = driver.Writes();
        PreviewWindow* preview = Preview();
        QVERIFY(preview);
        PreviewCanvas* canvas = preview->canvas();
        const auto corners = canvas->lastDrawnCorners();
        const QPoint from = ((corners[0] + corners[2]) / 2).toPoint();
        const QString before = driver.Text("txtScreen_x");
        QTest::mouseClick(canvas, Qt::LeftButton, {}, from); // selects
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        for (const QPoint by : {QPoint(30, 20), QPoint(60, 40)})
            QTest::mouseMove(canvas, from + by);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, from + QPoint(60, 40));
        Settle();

        const QString x = driver.Text("txtScreen_x");
        QVERIFY2(x.toDouble() > 0.5 && driver.Text("txtScreen_y").toDouble() < 0.5, qPrintable(x));
        QCOMPARE(Action("mnuUndo")->iconText(), "Undo Move in Preview");
        if (ticked)
            QCOMPARE(driver.ReadBack().value("screenXY@x"), x);
        else
            QCOMPARE(driver.Writes(), writes);

        Action("mnuUndo")->trigger(); // the whole drag at once
        QCOMPARE(driver.Text("txtScreen_x"), before);
        while (Action("mnuUndo")->isEnabled())
            Action("mnuUndo")->trigger();
        if (ticked)
            QCOMPARE(driver.ReadBack().value("screenXY@x"), driver.Text("txtScreen_x"));
        QCOMPARE(driver.window->OutputFilePath(), QDir::toNativeSeparators(driver.OutputPath()));
        QCOMPARE(driver.OutputFileExists(), ticked);
    }
};

QTEST_MAIN(UndoTest)
#include "tst_undo.moc"
