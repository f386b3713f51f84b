// The toolkit services against real widgets: focus-loss checks, then the Qt
// message boxes, file dialog, file lookup and program starts.

#include "FileFilter.h"
#include "FocusValidation.h"
#include "QtServices.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <array>
#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// Hands the next modal window to `answer` once it is shown: its own event loop
// blocks the test, so a timer polls for it.
void AnswerNextModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(10, [answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        modal && modal->isVisible() ? answer(modal) : AnswerNextModal(answer);
    });
}

enum W { Checked, Other, Button, Label, Combo, ComboEdit, Elsewhere };
enum Input { Click, Double, Tab, ShiftTab };
enum Check { Accept = 0, Refuse = 1, Box = 2 }; // Box: the check opens a real message box

// The kinds of control the main window has, in tab order, and a field in
// another window. `log` gets c or l per check run (field, list), b per click.
struct TestWindow : QWidget
{
    QLineEdit* checked = new QLineEdit(this);
    QLineEdit* other = new QLineEdit(this);
    QPushButton* button = new QPushButton(u"button"_s, this);
    QLabel* label = new QLabel(u"a label"_s, this);
    QComboBox* combo = new QComboBox(this);
    QLineEdit elsewhere;
    std::array<QWidget*, 7> at{}; // by W
    QString log;
    int check = Accept;

    TestWindow()
    {
        combo->setEditable(true);
        // Qt 6 keeps the focus of an editable list on the list; presses land on its line edit.
        at = {checked, other, button, label, combo, combo->lineEdit(), &elsewhere};
        auto* layout = new QVBoxLayout(this);
        for (int w = Checked; w <= Combo; ++w)
            layout->addWidget(at[w]);
        connect(button, &QPushButton::clicked, [this] { log += u'b'; });
        auto* validation = new FocusValidation(this);
        for (auto [control, letter] : {std::pair<QWidget*, char16_t>{checked, u'c'}, {combo, u'l'}})
            validation->Add(control, [this, letter = letter](bool& cancel) {
                log += letter;
                cancel = (check & Refuse) != 0;
                if (!(check & Box))
                    return;
                // A real click on OK, so the box's own press passes the filter too.
                AnswerNextModal([](QWidget* box) {
                    QTest::mouseClick(static_cast<QMessageBox*>(box)->button(QMessageBox::Ok),
                                      Qt::LeftButton);
                });
                QMessageBox::warning(this, u"Data Error"_s, u"bad"_s);
                activateWindow(); // no window manager hands the activation back
            });
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
using Show = void (QtServices::*)(QWidget*, const QString&);
Q_DECLARE_METATYPE(Show)

class ServicesTest : public QObject
{
    Q_OBJECT

    QtServices services_;
    QTemporaryDir dir_;

private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void input_data()
    {
        QTest::addColumn<bool>("viaWindow");
        QTest::addColumn<Case>("c");
        const Case rows[] = {
            {"refused click", Checked, Button, Checked, Click, Refuse, "c"},
            {"accepted click", Checked, Button, Button, Click, Accept, "cb"},
            // Each press of a platform double click is judged; neither gets through.
            {"refused double click", Checked, Button, Checked, Double, Refuse, "cc"},
            {"accepted, into the list", Checked, ComboEdit, Combo, Click, Accept, "c"},
            {"label", Checked, Label, Checked, Click, Refuse, ""},
            {"inside the list", Combo, ComboEdit, Combo, Click, Refuse, ""},
            {"unchecked field left", Other, Button, Button, Click, Refuse, "b"},
            {"another window", Checked, Elsewhere, Elsewhere, Click, Refuse, ""},
            {"refused with a box", Checked, Button, Checked, Click, Refuse | Box, "c"},
            // The box used up the press: the focus moves, the button is not clicked.
            {"accepted with a box", Checked, Button, Button, Click, Accept | Box, "c"},
            {"Tab refused", Checked, Other, Checked, Tab, Refuse, "c"},
            {"Shift+Tab refused", Checked, Other, Checked, ShiftTab, Refuse, "c"},
            {"list Shift+Tab accepted", Combo, Other, Button, ShiftTab, Accept, "l"},
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
        TestWindow w;
        w.check = c.check;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.at[c.start]->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), w.at[c.start]);
        QWidget* target = w.at[c.target];
        // A press in the middle of the other window is where the button is in this one.
        const QPoint mid = w.button->geometry().center();
        w.elsewhere.resize(2 * mid.x(), 2 * mid.y());
        target->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(target->window()));

        int focusMoves = 0;
        const auto counter = connect(qApp, &QApplication::focusChanged, [&] { ++focusMoves; });
        const QKeyCombination key = c.input == Tab ? Qt::Key_Tab : Qt::SHIFT | Qt::Key_Backtab;
        if (c.input >= Tab && viaWindow)
            QTest::keySequence(w.windowHandle(), key);
        else if (c.input >= Tab)
            QTest::keySequence(QApplication::focusWidget(), key);
        else if (viaWindow)
            QTest::mouseEvent(c.input == Double ? QTest::MouseDClick : QTest::MouseClick,
                              target->window()->windowHandle(), Qt::LeftButton, {},
                              target->mapTo(target->window(), target->rect().center()));
        else
            QTest::mouseClick(target, Qt::LeftButton);
        disconnect(counter);

        QTRY_COMPARE(QApplication::focusWidget(), w.at[c.focusAfter]);
        // Input from the platform is judged before Qt moves the focus, so a
        // refused press or key never moves it at all.
        if (viaWindow && !(c.check & Box) && c.focusAfter == c.start)
            QCOMPARE(focusMoves, 0);
        QCOMPARE(w.log, QString::fromLatin1(c.log));
    }

    void messageBox_data()
    {
        QTest::addColumn<Show>("show"); // none: the question its buttons make
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<QMessageBox::StandardButton>("byDefault");
        QTest::addColumn<QMessageBox::StandardButton>("answer"); // none: the box closed
        QTest::addColumn<QString>("title");
        QTest::addColumn<QMessageBox::Icon>("icon");
        const QString orvinel = u"Orvinel"_s;
        using B = QMessageBox;
        const QMessageBox::StandardButtons ok = B::Ok;
        const QMessageBox::StandardButtons yesNo = B::Yes | B::No;
        const QMessageBox::StandardButtons save = B::Save | B::Discard | B::Cancel;
        // clang-format off
        QTest::newRow("data error") << &QtServices::DataError << ok << B::Ok << B::Ok << "Data Error" << B::Warning;
        QTest::newRow("notice") << &QtServices::Notice << ok << B::Ok << B::Ok << orvinel << B::NoIcon;
        QTest::newRow("failure") << &QtServices::Failure << ok << B::Ok << B::Ok << orvinel << B::Warning;
        QTest::newRow("question, Yes") << Show() << yesNo << B::Yes << B::Yes << orvinel << B::NoIcon;
        QTest::newRow("question, No") << Show() << yesNo << B::Yes << B::No << orvinel << B::NoIcon;
        QTest::newRow("save changes, Save") << Show() << save << B::Save << B::Save << orvinel << B::NoIcon;
        QTest::newRow("save changes, Discard") << Show() << save << B::Save << B::Discard << orvinel << B::NoIcon;
        QTest::newRow("save changes, Cancel") << Show() << save << B::Save << B::Cancel << orvinel << B::NoIcon;
        QTest::newRow("save changes, closed") << Show() << save << B::Save << B::NoButton << orvinel << B::NoIcon;
        // clang-format on
    }

    void messageBox()
    {
        QFETCH(Show, show);
        QFETCH(QMessageBox::StandardButtons, buttons);
        QFETCH(QMessageBox::StandardButton, answer);
        QWidget parent;
        // Markup in a message (a file name, say) is shown as typed.
        const QString text = u"a <b>path</b> & more"_s;
        AnswerNextModal([&](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            if (answer == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(box->button(answer), Qt::LeftButton); // closes once this returns
            QTEST(box->windowTitle(), "title");
            QTEST(box->icon(), "icon");
            QCOMPARE(box->standardButtons(), buttons);
            QFETCH(QMessageBox::StandardButton, byDefault);
            QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(byDefault));
            QCOMPARE(box->text(), text);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->parentWidget(), &parent);
        });
        // Each answer as the button that gives it.
        QMessageBox::StandardButton given = QMessageBox::Ok;
        if (show)
            (services_.*show)(&parent, text);
        else if (buttons.testFlag(QMessageBox::Yes))
            given = services_.AskYesNo(&parent, text) ? QMessageBox::Yes : QMessageBox::No;
        else
            given = std::array{QMessageBox::Cancel, QMessageBox::Save,
                               QMessageBox::Discard}[int(services_.AskSaveChanges(&parent, text))];
        QCOMPARE(given, answer == QMessageBox::NoButton ? QMessageBox::Cancel : answer);
    }

    // The overlay picker lists the labels with the current one chosen; keys
    // move the choice and Enter takes it, Escape cancels.
    void overlayPicker()
    {
        QWidget parent;
        const QStringList labels = {u"Legend - in Project"_s, u"Screen overlay 2 (no title)"_s,
                                    u"Logo"_s};
        for (const auto& [key, expected] : {std::pair{Qt::Key_Enter, 2}, {Qt::Key_Escape, -1}}) {
            AnswerNextModal([&, key = key](QWidget* modal) {
                auto* list = modal->findChild<QListWidget*>(u"overlayList"_s);
                QCOMPARE(list->count(), 3);
                QCOMPARE(list->item(1)->text(), labels.at(1));
                QCOMPARE(list->currentRow(), 1);
                QVERIFY(modal->findChild<QLabel*>()->text().startsWith(
                    u"project.kml holds 3 screen overlays."_s));
                QTest::keyClick(list, Qt::Key_Down);
                QTest::keyClick(list, key);
            });
            QCOMPARE(services_.AskOverlay(&parent, u"project.kml"_s, labels, 1), expected);
        }
    }

    void filterConversion()
    {
        const QString rows[][2] = {
            {u"Pictures | *.bmp ; ;*.jpg;|All files|"_s,
             u"Pictures (*.bmp *.jpg);;All files (*)"_s},
            {u"|*.kml|Other"_s, u"*.kml"_s}, // the description left over names nothing
            {u"*.kml;*.kmz"_s, u"*.kml *.kmz"_s},
            {u" "_s, QString()},
        };
        for (const auto& [filter, expected] : rows)
            QCOMPARE(ToQtFileFilter(filter), expected);
    }

    // Save As asks its own overwrite question, so the dialog must not. A
    // suggested file is offered in its folder.
    void saveDialog()
    {
        const QString suggested = dir_.filePath(u"legend.kml"_s);
        AnswerNextModal([&suggested](QWidget* modal) {
            auto* dialog = static_cast<QFileDialog*>(modal);
            dialog->reject(); // closes once this returns
            QCOMPARE(dialog->windowTitle(), u"Save As"_s);
            QCOMPARE(dialog->nameFilters(), QStringList{u"KML output file (*.kml)"_s});
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->selectedFiles(), QStringList{suggested});
        });
        QCOMPARE(services_.ShowFileDialog(nullptr, FileDialogMode::Save, u"Save As"_s,
                                          u"KML output file|*.kml"_s, suggested),
                 QString()); // cancelled
    }

    // What the file lookup and a start make of each kind of path. No shell
    // sees the arguments: blanks, quotes, "$(...)", ";" and "%...%" reach the
    // program as they were given, Unicode and all.
    void fileLookupAndProgramStarts()
    {
        const QString record = dir_.filePath(u"standin.args"_s);
        qputenv("ORVINEL_STANDIN_RECORD", record.toLocal8Bit());
        const QStringList arguments{u"a b \"c\" $(touch x) ;y.kml"_s, u"%TEMP% & ^ | 地図"_s,
                                    u"ends in \\"_s};
        QCOMPARE(services_.StartProgram(QStringLiteral(ORVINEL_STANDIN), arguments).error,
                 QString());
        const auto recorded = [&record] {
            QFile written(record);
            return written.open(QIODevice::ReadOnly) ? QString::fromUtf8(written.readAll())
                                                     : QString();
        };
        QTRY_COMPARE(recorded(), arguments.join(u'\n') + u'\n');
        QVERIFY(services_.OrdinaryFileExists(record));
        QFile notes(dir_.filePath(u"notes.txt"_s));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        const std::tuple<QString, bool, QString> rows[] = {
            {dir_.filePath(u"missing"_s), false, u"The file does not exist."_s},
            {dir_.path(), false, u"This is a folder, not a program."_s},
            {notes.fileName(), true, u"The file is not executable."_s},
            {u"orvinel-no-such-program"_s, false,
             u"The program was not found on the search path."_s},
        };
        for (const auto& [path, exists, error] : rows) {
            QCOMPARE(services_.OrdinaryFileExists(path), exists);
            const StartResult result = services_.StartProgram(path, {});
            QVERIFY(!result.ok);
            QCOMPARE(result.error, error);
        }
    }
};

QTEST_MAIN(ServicesTest)
#include "tst_services.moc"
