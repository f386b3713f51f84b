#include "FocusValidation.h"
#include "NextModal.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include <memory>

namespace {

// A small window with the kinds of control the main window has: a checked
// field, a plain field, a button that counts its clicks, a label, and an
// editable list with a check of its own. Tab order is creation order.
class TestWindow : public QWidget
{
public:
    TestWindow()
    {
        auto* layout = new QVBoxLayout(this);
        checked = Add<QLineEdit>("checked");
        other = Add<QLineEdit>("other");
        button = Add<QPushButton>("button");
        label = Add<QLabel>("label");
        label->setText(QStringLiteral("a label"));
        disabled = Add<QPushButton>("disabled");
        disabled->setEnabled(false);
        combo = Add<QComboBox>("combo");
        combo->setEditable(true);
        combo->addItems({QStringLiteral("one"), QStringLiteral("two")});
        for (QWidget* w : {static_cast<QWidget*>(checked), static_cast<QWidget*>(other),
                           static_cast<QWidget*>(button), static_cast<QWidget*>(label),
                           static_cast<QWidget*>(disabled), static_cast<QWidget*>(combo)})
            layout->addWidget(w);
        QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });

        validation->Add(checked, [this](bool& cancel) {
            ++checkedRuns;
            cancel = checkedRefuses;
            if (checkedShowsBox)
                QMessageBox::warning(this, QStringLiteral("Data Error"), QStringLiteral("bad"));
        });
        validation->Add(combo, [this](bool& cancel) {
            ++comboRuns;
            cancel = comboRefuses;
        });
    }

    QWidget* Named(const QString& name)
    {
        // Qt 6 keeps the focus of an editable list on the list itself (its
        // line edit is a focus proxy of it), while presses land on the line
        // edit.
        if (name == QLatin1String("comboEdit"))
            return combo->lineEdit();
        auto* w = findChild<QWidget*>(name);
        if (!w)
            qFatal("no control named %s", qPrintable(name));
        return w;
    }

    QLineEdit* checked;
    QLineEdit* other;
    QPushButton* button;
    QLabel* label;
    QPushButton* disabled;
    QComboBox* combo;
    FocusValidation* validation = new FocusValidation(this);

    int clicks = 0;
    int checkedRuns = 0;
    int comboRuns = 0;
    bool checkedRefuses = false;
    bool checkedShowsBox = false;
    bool comboRefuses = false;

private:
    template <typename T> T* Add(const char* name)
    {
        auto* w = new T(this);
        w->setObjectName(QString::fromLatin1(name));
        return w;
    }
};

// Clicks the OK button of the next message box with a real mouse click, so
// the box's own press passes through the event filter.
void ClickOkOfNextBox()
{
    AnswerNextModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
}

enum class Route { Widget, Window };

} // namespace

Q_DECLARE_METATYPE(Route)

class FocusValidationTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> window_;

    void ShowWithFocusOn(QWidget* start)
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        start->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), start);
    }

    void Click(Route route, QWidget* target, Qt::MouseButton button = Qt::LeftButton)
    {
        if (route == Route::Widget) {
            QTest::mouseClick(target, button);
        } else {
            QWindow* handle = window_->windowHandle();
            QTest::mouseClick(handle, button, {},
                              target->mapTo(window_.get(), target->rect().center()));
        }
    }

    // The offscreen platform has no window manager to hand the activation back
    // once a box closes; do it as one would.
    void WaitForBoxClosed()
    {
        QTRY_VERIFY(!QApplication::activeModalWidget());
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    static void AddRoutes(const char* name)
    {
        QTest::addRow("%s, sent to the widget", name) << Route::Widget;
        QTest::addRow("%s, through the window", name) << Route::Window;
    }

private Q_SLOTS:
    void init() { window_ = std::make_unique<TestWindow>(); }

    void cleanup()
    {
        window_.reset();
        QTRY_VERIFY2(QApplication::topLevelWidgets().isEmpty(), "a window was left open");
    }

    void click_data()
    {
        QTest::addColumn<Route>("route");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("target");
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("checkedRuns");
        QTest::addColumn<int>("comboRuns");
        QTest::addColumn<QString>("focusAfter");
        QTest::addColumn<int>("clicks");

        struct Row
        {
            const char* name;
            const char* start;
            const char* target;
            Qt::MouseButton button;
            bool refuse;
            int checkedRuns;
            int comboRuns;
            const char* focusAfter;
            int clicks;
        };
        const Row rows[] = {
            {"refused, button", "checked", "button", Qt::LeftButton, true, 1, 0, "checked", 0},
            {"accepted, button", "checked", "button", Qt::LeftButton, false, 1, 0, "button", 1},
            {"refused, field", "checked", "other", Qt::LeftButton, true, 1, 0, "checked", 0},
            {"accepted, field", "checked", "other", Qt::LeftButton, false, 1, 0, "other", 0},
            {"refused, right button", "checked", "button", Qt::RightButton, true, 1, 0, "checked",
             0},
            {"accepted, right button", "checked", "button", Qt::RightButton, false, 1, 0, "button",
             0},
            {"refused, into the list", "checked", "comboEdit", Qt::LeftButton, true, 1, 0,
             "checked", 0},
            {"accepted, into the list", "checked", "comboEdit", Qt::LeftButton, false, 1, 0,
             "combo", 0},
            {"label", "checked", "label", Qt::LeftButton, true, 0, 0, "checked", 0},
            {"disabled button", "checked", "disabled", Qt::LeftButton, true, 0, 0, "checked", 0},
            {"same field", "checked", "checked", Qt::LeftButton, true, 0, 0, "checked", 0},
            {"unchecked field left", "other", "button", Qt::LeftButton, true, 0, 0, "button", 1},
            {"list refused", "combo", "button", Qt::LeftButton, true, 0, 1, "combo", 0},
            {"list accepted", "combo", "other", Qt::LeftButton, false, 0, 1, "other", 0},
            {"inside the list", "combo", "comboEdit", Qt::LeftButton, true, 0, 0, "combo", 0},
        };
        for (const Row& row : rows) {
            for (Route route : {Route::Widget, Route::Window}) {
                QTest::addRow("%s, %s", row.name,
                              route == Route::Widget ? "sent to the widget" : "through the window")
                    << route << QString::fromLatin1(row.start) << QString::fromLatin1(row.target)
                    << row.button << row.refuse << row.checkedRuns << row.comboRuns
                    << QString::fromLatin1(row.focusAfter) << row.clicks;
            }
        }
    }

    void click()
    {
        QFETCH(Route, route);
        QFETCH(QString, start);
        QFETCH(QString, target);
        QFETCH(Qt::MouseButton, mouseButton);
        QFETCH(bool, refuse);
        window_->checkedRefuses = refuse;
        window_->comboRefuses = refuse;
        ShowWithFocusOn(window_->Named(start));

        int focusMoves = 0;
        const auto counter = connect(qApp, &QApplication::focusChanged, [&] { ++focusMoves; });
        Click(route, window_->Named(target), mouseButton);
        disconnect(counter);

        QFETCH(QString, focusAfter);
        QTRY_COMPARE(QApplication::focusWidget(), window_->Named(focusAfter));
        // A press from the platform is judged before Qt moves the focus, so a
        // refused one never moves it at all.
        if (route == Route::Window)
            QCOMPARE(focusMoves, focusAfter == start ? 0 : 1);
        QTEST(window_->checkedRuns, "checkedRuns");
        QTEST(window_->comboRuns, "comboRuns");
        QTEST(window_->clicks, "clicks");
    }

    void tab_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("toWindow");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("checkedRuns");
        QTest::addColumn<int>("comboRuns");
        QTest::addColumn<QString>("focusAfter");

        const auto none = Qt::KeyboardModifiers();
        // clang-format off
        QTest::newRow("Tab refused") << "checked" << Qt::Key_Tab << none << false << true << 1 << 0 << "checked";
        QTest::newRow("Tab accepted") << "checked" << Qt::Key_Tab << none << false << false << 1 << 0 << "other";
        QTest::newRow("Tab through the window") << "checked" << Qt::Key_Tab << none << true << false << 1 << 0 << "other";
        QTest::newRow("Tab refused through the window") << "checked" << Qt::Key_Tab << none << true << true << 1 << 0 << "checked";
        QTest::newRow("Shift+Tab refused") << "checked" << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << true << 1 << 0 << "checked";
        QTest::newRow("Shift+Tab accepted") << "other" << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << false << 0 << 0 << "checked";
        QTest::newRow("list Tab refused") << "combo" << Qt::Key_Tab << none << false << true << 0 << 1 << "combo";
        QTest::newRow("list Shift+Tab accepted") << "combo" << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << false << 0 << 1 << "button";
        QTest::newRow("Ctrl+Tab") << "checked" << Qt::Key_Tab << Qt::KeyboardModifiers(Qt::ControlModifier) << false << true << 0 << 0 << "checked";
        QTest::newRow("unchecked field") << "other" << Qt::Key_Tab << none << false << true << 0 << 0 << "button";
        // clang-format on
    }

    void tab()
    {
        QFETCH(QString, start);
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, toWindow);
        QFETCH(bool, refuse);
        window_->checkedRefuses = refuse;
        window_->comboRefuses = refuse;
        ShowWithFocusOn(window_->Named(start));

        if (toWindow)
            QTest::keyClick(window_->windowHandle(), key, modifiers);
        else
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);

        QFETCH(QString, focusAfter);
        QTRY_COMPARE(QApplication::focusWidget(), window_->Named(focusAfter));
        QTEST(window_->checkedRuns, "checkedRuns");
        QTEST(window_->comboRuns, "comboRuns");
    }

    // The box a check opens takes presses and focus of its own; none of that
    // may run the check again.
    void checkWithBox_data()
    {
        QTest::addColumn<Route>("route");
        AddRoutes("click");
    }

    void checkWithBox()
    {
        QFETCH(Route, route);
        for (const bool refuse : {true, false}) {
            window_->checkedRefuses = refuse;
            window_->checkedShowsBox = true;
            window_->checkedRuns = 0;
            window_->clicks = 0;
            ShowWithFocusOn(window_->checked);

            ClickOkOfNextBox();
            Click(route, window_->button);

            WaitForBoxClosed();
            // Refused: the focus stays. Accepted: the box used up the press,
            // so the focus moves but the button is not clicked.
            QTRY_COMPARE(QApplication::focusWidget(),
                         refuse ? static_cast<QWidget*>(window_->checked) : window_->button);
            QCOMPARE(window_->checkedRuns, 1);
            QCOMPARE(window_->clicks, 0);
        }
    }

    void tabWithBox()
    {
        window_->checkedShowsBox = true;
        ShowWithFocusOn(window_->checked);

        ClickOkOfNextBox();
        QTest::keyClick(window_->checked, Qt::Key_Tab);

        WaitForBoxClosed();
        QTRY_COMPARE(QApplication::focusWidget(), window_->other);
        QCOMPARE(window_->checkedRuns, 1);
    }

    // Qt 6 delivers the second press of a double click and then a
    // double-click event; a refused press must not come back as the latter.
    void doubleClickRefused_data()
    {
        QTest::addColumn<Route>("route");
        AddRoutes("double click");
    }

    void doubleClickRefused()
    {
        QFETCH(Route, route);
        window_->checkedRefuses = true;
        ShowWithFocusOn(window_->checked);

        if (route == Route::Widget) {
            QTest::mouseDClick(window_->button, Qt::LeftButton);
        } else {
            const QPoint at = window_->button->mapTo(window_.get(), QPoint(5, 5));
            QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, at);
        }

        QCOMPARE(QApplication::focusWidget(), window_->checked);
        // One check per press: the platform's double click is two presses,
        // QTest's straight to a widget is one double-click event.
        QCOMPARE(window_->checkedRuns, route == Route::Window ? 2 : 1);
        QCOMPARE(window_->clicks, 0);
        QVERIFY(!window_->button->isDown());
    }

    void pressInAnotherWindowRunsNoCheck()
    {
        window_->checkedRefuses = true;
        ShowWithFocusOn(window_->checked);
        QWidget second;
        auto* field = new QLineEdit(&second);
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));

        QTest::mouseClick(field, Qt::LeftButton);
        QTest::mouseClick(second.windowHandle(), Qt::LeftButton, {},
                          field->mapTo(&second, field->rect().center()));

        QCOMPARE(window_->checkedRuns, 0);
        QCOMPARE(window_->focusWidget(), window_->checked);
    }

    void wheelRunsNoCheck()
    {
        window_->checkedRefuses = true;
        ShowWithFocusOn(window_->checked);
        const QPointF at = window_->combo->rect().center();
        QWheelEvent wheel(at, window_->combo->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::sendEvent(window_->combo, &wheel);
        QCOMPARE(window_->checkedRuns, 0);
    }

    void focusByProgramRunsNoCheck()
    {
        window_->checkedRefuses = true;
        ShowWithFocusOn(window_->checked);
        window_->button->setFocus(Qt::MouseFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), window_->button);
        window_->button->click();
        QTest::mouseClick(window_->label, Qt::LeftButton);
        QCOMPARE(window_->checkedRuns, 0);
        QCOMPARE(window_->clicks, 1);
    }
};

QTEST_MAIN(FocusValidationTest)
#include "tst_focusvalidation.moc"
