#include "FileFilter.h"
#include "NextModal.h"
#include "QtServices.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Show = void (QtServices::*)(QWidget*, const QString&);
Q_DECLARE_METATYPE(Show)

class QtServicesTest : public QObject
{
    Q_OBJECT

    QtServices services_;
    QTemporaryDir dir_;

    QString File(const char* name)
    {
        QFile file(dir_.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::WriteOnly) ? file.fileName() : QString();
    }

private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void messageBox_data()
    {
        QTest::addColumn<Show>("show"); // none: the Yes/No question
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QMessageBox::Icon>("icon");
        const QString orvinel = QStringLiteral("Orvinel");
        // clang-format off
        QTest::newRow("data error") << &QtServices::DataError << QMessageBox::Ok << "Data Error" << QMessageBox::Warning;
        QTest::newRow("notice") << &QtServices::Notice << QMessageBox::Ok << orvinel << QMessageBox::NoIcon;
        QTest::newRow("failure") << &QtServices::Failure << QMessageBox::Ok << orvinel << QMessageBox::Warning;
        QTest::newRow("question, Yes") << Show() << QMessageBox::Yes << orvinel << QMessageBox::NoIcon;
        QTest::newRow("question, No") << Show() << QMessageBox::No << orvinel << QMessageBox::NoIcon;
        // clang-format on
    }

    void messageBox()
    {
        QFETCH(Show, show);
        QFETCH(QMessageBox::StandardButton, answer);
        QWidget parent;
        // Markup in a message (a file name, say) is shown as typed.
        const QString text = QStringLiteral("a <b>path</b> & more");
        AnswerNextModal([&](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            QTest::mouseClick(box->button(answer), Qt::LeftButton); // closes once this returns
            QTEST(box->windowTitle(), "title");
            QTEST(box->icon(), "icon");
            QCOMPARE(box->standardButtons(),
                     show ? QMessageBox::Ok : QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()),
                     box->button(show ? QMessageBox::Ok : QMessageBox::Yes));
            QCOMPARE(box->text(), text);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->parentWidget(), &parent);
        });
        bool yes = false;
        if (show)
            (services_.*show)(&parent, text);
        else
            yes = services_.AskYesNo(&parent, text);
        QCOMPARE(yes, answer == QMessageBox::Yes);
    }

    void filterConversion_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("picture list") << "Pictures|*.bmp;*.jpg;*.png" << "Pictures (*.bmp *.jpg *.png)";
        QTest::newRow("blanks and empty patterns") << "Pictures | *.png ; ;*.gif;" << "Pictures (*.png *.gif)";
        QTest::newRow("no description") << "|*.kml" << "*.kml";
        QTest::newRow("no patterns") << "Anything|" << "Anything (*)";
        QTest::newRow("bare patterns") << "*.kml;*.kmz" << "*.kml *.kmz";
        QTest::newRow("empty") << " " << "";
        QTest::newRow("two entries") << "KML|*.kml|All files|*" << "KML (*.kml);;All files (*)";
        QTest::newRow("description left over") << "KML|*.kml|Other" << "KML (*.kml)";
        // clang-format on
    }

    void filterConversion()
    {
        QFETCH(QString, filter);
        QTEST(ToQtFileFilter(filter), "expected");
    }

    // Save As asks its own overwrite question, so the dialog must not.
    void saveDialog()
    {
        AnswerNextModal([](QWidget* modal) {
            auto* dialog = static_cast<QFileDialog*>(modal);
            dialog->reject(); // closes once this returns
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Save As"));
            QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("KML output file (*.kml)")});
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        });
        // A cancel gives the empty text.
        QCOMPARE(services_.ShowFileDialog(nullptr, FileDialogMode::Save, QStringLiteral("Save As"),
                                          QStringLiteral("KML output file|*.kml")),
                 QString());
    }

    void ordinaryFileExists()
    {
        QVERIFY(services_.OrdinaryFileExists(File("logo.png")));
        QVERIFY(!services_.OrdinaryFileExists(dir_.path())); // a folder counts as absent
        QVERIFY(!services_.OrdinaryFileExists(dir_.filePath(QStringLiteral("missing.png"))));
    }

    void startProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        // No shell sees the arguments: blanks, quotes, "$(...)" and ";" stay text.
        const QString copy = dir_.filePath(QStringLiteral("a b \"c\" $(touch x) ;y.kml"));
        const QStringList none;
        // clang-format off
        QTest::newRow("arguments reach the program unchanged") << QStandardPaths::findExecutable(QStringLiteral("cp")) << QStringList{File("source.kml"), copy} << QString();
        QTest::newRow("missing") << dir_.filePath(QStringLiteral("missing")) << none << "The file does not exist.";
        QTest::newRow("folder") << dir_.path() << none << "This is a folder, not a program.";
        QTest::newRow("not executable") << File("notes.txt") << none << "The file is not executable.";
        QTest::newRow("not on the search path") << "orvinel-no-such-program" << none << "The program was not found on the search path.";
        // clang-format on
    }

    void startProgram()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        if (program.isEmpty())
            QSKIP("no cp on the search path");
        const StartResult result = services_.StartProgram(program, arguments);
        QTEST(result.error, "error");
        QCOMPARE(result.ok, result.error.isEmpty());
        if (result.ok)
            QTRY_VERIFY(QFileInfo::exists(arguments.last()));
    }
};

QTEST_MAIN(QtServicesTest)
#include "tst_qtservices.moc"
