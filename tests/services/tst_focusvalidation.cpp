#include "FocusValidation.h"
#include "NextModal.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include <array>
#include <memory>

namespace {

enum W { Checked, Other, Button, Label, Off, Combo, ComboEdit, Elsewhere };
enum Input { Left, Right, Double, Tab, ShiftTab, CtrlTab };
const QKeyCombination keys[] = {Qt::Key_Tab, Qt::SHIFT | Qt::Key_Backtab, Qt::CTRL | Qt::Key_Tab};
enum Check { Accept = 0, Refuse = 1, Box = 2 }; // Box: the check opens a real message box

// The kinds of control the main window has, in tab order, and a field in
// another window. `log` gets c or l per check run (field, list), b per click.
class TestWindow : public QWidget
{
public:
    QLineEdit* checked = new QLineEdit(this);
    QLineEdit* other = new QLineEdit(this);
    QPushButton* button = new QPushButton(QStringLiteral("button"), this);
    QLabel* label = new QLabel(QStringLiteral("a label"), this);
    QPushButton* off = new QPushButton(QStringLiteral("disabled"), this);
    QComboBox* combo = new QComboBox(this);
    std::unique_ptr<QLineEdit> elsewhere = std::make_unique<QLineEdit>();
    QString log;
    int check = Accept;

    TestWindow()
    {
        combo->setEditable(true);
        off->setEnabled(false);
        auto* layout = new QVBoxLayout(this);
        for (int w = Checked; w <= Combo; ++w)
            layout->addWidget(At(W(w)));
        connect(button, &QPushButton::clicked, [this] { log += u'b'; });
        auto* validation = new FocusValidation(this);
        for (auto [control, letter] : {std::pair<QWidget*, char16_t>{checked, u'c'}, {combo, u'l'}})
            validation->Add(control, [this, letter](bool& cancel) {
                log += letter;
                cancel = check & Refuse;
                if (!(check & Box))
                    return;
                // A real click on OK, so the box's own press passes the filter too.
                AnswerNextModal([](QWidget* box) {
                    QTest::mouseClick(static_cast<QMessageBox*>(box)->button(QMessageBox::Ok),
                                      Qt::LeftButton);
                });
                QMessageBox::warning(this, QStringLiteral("Data Error"), QStringLiteral("bad"));
                activateWindow(); // no window manager hands the activation back
            });
    }

    // Qt 6 keeps the focus of an editable list on the list; presses land on
    // its line edit.
    QWidget* At(W w) const
    {
        return std::array<QWidget*, 8>{checked,           other,          button, label, off, combo,
                                       combo->lineEdit(), elsewhere.get()}[w];
    }
};

struct Case
{
    const char* name;
    W start, target, focusAfter; // target: of a click
    Input input;
    int check;
    const char* log;
};

} // namespace

Q_DECLARE_METATYPE(Case)

class FocusValidationTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWindow> window_;

private Q_SLOTS:
    void init() { window_ = std::make_unique<TestWindow>(); }

    void cleanup()
    {
        window_.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void input_data()
    {
        QTest::addColumn<bool>("viaWindow");
        QTest::addColumn<Case>("c");
        const Case rows[] = {
            {"refused click", Checked, Button, Checked, Left, Refuse, "c"},
            {"accepted click", Checked, Button, Button, Left, Accept, "cb"},
            {"refused right click", Checked, Button, Checked, Right, Refuse, "c"},
            // Each press of a platform double click is judged; neither gets through.
            {"refused double click", Checked, Button, Checked, Double, Refuse, "cc"},
            {"accepted, into the list", Checked, ComboEdit, Combo, Left, Accept, "c"},
            {"label", Checked, Label, Checked, Left, Refuse, ""},
            {"disabled button", Checked, Off, Checked, Left, Refuse, ""},
            {"inside the list", Combo, ComboEdit, Combo, Left, Refuse, ""},
            {"list refused", Combo, Button, Combo, Left, Refuse, "l"},
            {"unchecked field left", Other, Button, Button, Left, Refuse, "b"},
            {"another window", Checked, Elsewhere, Elsewhere, Left, Refuse, ""},
            {"refused with a box", Checked, Button, Checked, Left, Refuse | Box, "c"},
            // The box used up the press: the focus moves, the button is not clicked.
            {"accepted with a box", Checked, Button, Button, Left, Accept | Box, "c"},
            {"Tab refused", Checked, Other, Checked, Tab, Refuse, "c"},
            {"Tab accepted", Checked, Other, Other, Tab, Accept, "c"},
            {"Shift+Tab refused", Checked, Other, Checked, ShiftTab, Refuse, "c"},
            {"Ctrl+Tab", Checked, Other, Checked, CtrlTab, Refuse, ""},
            {"list Tab refused", Combo, Other, Combo, Tab, Refuse, "l"},
            {"list Shift+Tab accepted", Combo, Other, Button, ShiftTab, Accept, "l"},
            {"Tab accepted with a box", Checked, Other, Other, Tab, Accept | Box, "c"},
        };
        // Through the window as from the platform, or sent straight to the widget.
        for (const Case& c : rows)
            for (bool viaWindow : {false, true})
                if (viaWindow || c.input != Double)
                    QTest::addRow("%s, %s", c.name, viaWindow ? "window" : "widget")
                        << viaWindow << c;
    }

    void input()
    {
        QFETCH(bool, viaWindow);
        QFETCH(Case, c);
        window_->check = c.check;
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->At(c.start)->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), window_->At(c.start));
        QWidget* target = window_->At(c.target);
        // A press in the middle of the other window is where the button is in this one.
        const QPoint mid = window_->button->geometry().center();
        window_->elsewhere->resize(2 * mid.x(), 2 * mid.y());
        target->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(target->window()));

        int focusMoves = 0;
        const auto counter = connect(qApp, &QApplication::focusChanged, [&] { ++focusMoves; });
        const Qt::MouseButton button = c.input == Right ? Qt::RightButton : Qt::LeftButton;
        QWindow* handle = target->window()->windowHandle();
        const QPoint at = target->mapTo(target->window(), target->rect().center());
        if (c.input >= Tab) {
            if (viaWindow)
                QTest::keySequence(window_->windowHandle(), keys[c.input - Tab]);
            else
                QTest::keySequence(QApplication::focusWidget(), keys[c.input - Tab]);
        } else if (!viaWindow) {
            QTest::mouseClick(target, button);
        } else {
            QTest::mouseEvent(c.input == Double ? QTest::MouseDClick : QTest::MouseClick, handle,
                              button, {}, at);
        }
        disconnect(counter);

        QTRY_COMPARE(QApplication::focusWidget(), window_->At(c.focusAfter));
        // Input from the platform is judged before Qt moves the focus, so a
        // refused press or key never moves it at all.
        if (viaWindow && !(c.check & Box) && c.focusAfter == c.start)
            QCOMPARE(focusMoves, 0);
        QCOMPARE(window_->log, QString::fromLatin1(c.log));
    }
};

QTEST_MAIN(FocusValidationTest)
#include "tst_focusvalidation.moc"
