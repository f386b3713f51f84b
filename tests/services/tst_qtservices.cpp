#include "FileFilter.h"
#include "NextModal.h"
#include "QtServices.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

enum class Style { DataError, Notice, AskYesNo, Failure };

struct BoxSeen
{
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QWidget* parent = nullptr;
};

} // namespace

Q_DECLARE_METATYPE(Style)

class QtServicesTest : public QObject
{
    Q_OBJECT

    QtServices services_;

private Q_SLOTS:
    void cleanup()
    {
        QTRY_VERIFY2(QApplication::topLevelWidgets().isEmpty(), "a window was left open");
    }

    void messageBox_data()
    {
        QTest::addColumn<Style>("style");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QMessageBox::StandardButtons>("buttons");
        QTest::addColumn<bool>("yes");

        const QMessageBox::StandardButtons ok = QMessageBox::Ok;
        const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
        const QString orvinel = QStringLiteral("Orvinel");
        // clang-format off
        QTest::newRow("data error") << Style::DataError << "Ok" << "Data Error" << QMessageBox::Warning << ok << false;
        QTest::newRow("notice") << Style::Notice << "Ok" << orvinel << QMessageBox::NoIcon << ok << false;
        QTest::newRow("failure") << Style::Failure << "Ok" << orvinel << QMessageBox::Warning << ok << false;
        QTest::newRow("question, Yes") << Style::AskYesNo << "Yes" << orvinel << QMessageBox::NoIcon << yesNo << true;
        QTest::newRow("question, No") << Style::AskYesNo << "No" << orvinel << QMessageBox::NoIcon << yesNo << false;
        QTest::newRow("question, Enter") << Style::AskYesNo << "Enter" << orvinel << QMessageBox::NoIcon << yesNo << true;
        QTest::newRow("question, Escape") << Style::AskYesNo << "Escape" << orvinel << QMessageBox::NoIcon << yesNo << false;
        // clang-format on
    }

    void messageBox()
    {
        QFETCH(Style, style);
        QFETCH(QString, answer);
        QWidget parent;
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        // Markup in a message (a file name, say) is shown as typed.
        const QString text = QStringLiteral("a <b>path</b> & more");

        BoxSeen seen;
        AnswerNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            seen = {box->windowTitle(),     box->text(),
                    box->textFormat(),      box->icon(),
                    box->standardButtons(), box->standardButton(box->defaultButton()),
                    box->parentWidget()};
            if (answer == u"Enter")
                QTest::keyClick(box, Qt::Key_Return);
            else if (answer == u"Escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                QTest::mouseClick(box->button(answer == u"Ok"    ? QMessageBox::Ok
                                              : answer == u"Yes" ? QMessageBox::Yes
                                                                 : QMessageBox::No),
                                  Qt::LeftButton);
        });
        bool yes = false;
        switch (style) {
        case Style::DataError:
            services_.DataError(&parent, text);
            break;
        case Style::Notice:
            services_.Notice(&parent, text);
            break;
        case Style::AskYesNo:
            yes = services_.AskYesNo(&parent, text);
            break;
        case Style::Failure:
            services_.Failure(&parent, text);
            break;
        }

        QTEST(seen.title, "title");
        QCOMPARE(seen.text, text);
        QCOMPARE(seen.format, Qt::PlainText);
        QTEST(seen.icon, "icon");
        QTEST(seen.buttons, "buttons");
        QFETCH(QMessageBox::StandardButtons, buttons);
        QCOMPARE(seen.defaultButton,
                 buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
        QCOMPARE(seen.parent, &parent);
        QTEST(yes, "yes");
    }

    void filterConversion_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");

        QTest::newRow("one pattern") << "KML output file|*.kml"
                                     << "KML output file (*.kml)";
        QTest::newRow("picture list")
            << "Screen overlay graphic file|*.bmp;*.jpg;*.gif;*.tif;*.jpeg;*.tiff;*.tga;*.pgm;"
               "*.dds;*.ppm;*.png"
            << "Screen overlay graphic file (*.bmp *.jpg *.gif *.tif *.jpeg *.tiff *.tga *.pgm "
               "*.dds *.ppm *.png)";
        QTest::newRow("exact file name") << "Google Earth executable|GoogleEarth.exe"
                                         << "Google Earth executable (GoogleEarth.exe)";
        QTest::newRow("all files") << "All files|*"
                                   << "All files (*)";
        QTest::newRow("blanks and empty patterns") << "Pictures | *.png ; ;*.gif;"
                                                   << "Pictures (*.png *.gif)";
        QTest::newRow("brackets in the description") << "Logo (web)|*.png"
                                                     << "Logo (web) (*.png)";
        QTest::newRow("no description") << "|*.kml"
                                        << "*.kml";
        QTest::newRow("no patterns") << "Anything|"
                                     << "Anything (*)";
        QTest::newRow("bare patterns") << "*.kml;*.kmz"
                                       << "*.kml *.kmz";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("two entries") << "KML|*.kml|All files|*"
                                     << "KML (*.kml);;All files (*)";
    }

    void filterConversion()
    {
        QFETCH(QString, filter);
        QTEST(ToQtFileFilter(filter), "expected");
    }

    // The dialog shows the title and the converted filter; the save dialog
    // chooses an existing file without asking about overwriting it, since
    // Save As asks its own question.
    void fileDialog_data()
    {
        QTest::addColumn<FileDialogMode>("mode");
        QTest::newRow("open") << FileDialogMode::Open;
        QTest::newRow("save") << FileDialogMode::Save;
    }

    void fileDialog()
    {
        QFETCH(FileDialogMode, mode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString existing = dir.filePath(QStringLiteral("legend.kml"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        QString title;
        QStringList nameFilters;
        bool asksOverwrite = false;
        AnswerNextModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            nameFilters = dialog->nameFilters();
            // Any box the dialog opens on accepting is an overwrite question:
            // note it and answer Yes. The watch dies with the dialog.
            auto* watch = new QTimer(dialog);
            connect(watch, &QTimer::timeout, [&asksOverwrite, watch] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box)
                    return;
                watch->stop();
                asksOverwrite = true;
                box->button(QMessageBox::Yes)->click();
            });
            watch->start(10);
            // Typed into the name field, as a user would: selectFile() leaves a
            // focused name field alone.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(existing);
            static_cast<QDialog*>(dialog)->accept();
            if (dialog->isVisible()) // refused the name: fail instead of hanging
                dialog->reject();
        });
        const QString chosen = services_.ShowFileDialog(nullptr, mode, QStringLiteral("Save As"),
                                                        QStringLiteral("KML output file|*.kml"));

        QCOMPARE(title, QStringLiteral("Save As"));
        QCOMPARE(nameFilters, QStringList{QStringLiteral("KML output file (*.kml)")});
        QVERIFY(!asksOverwrite);
        QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
    }

    void ordinaryFileExists()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.filePath(QStringLiteral("logo.png"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.close();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.kml")));

        QVERIFY(services_.OrdinaryFileExists(file));
        QVERIFY(!services_.OrdinaryFileExists(dir.filePath(QStringLiteral("folder.kml"))));
        QVERIFY(!services_.OrdinaryFileExists(dir.filePath(QStringLiteral("missing.png"))));
        QVERIFY(!services_.OrdinaryFileExists(QString()));
    }

    void startProgramRefusals()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString plain = dir.filePath(QStringLiteral("notes.txt"));
        QFile file(plain);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));

        const struct
        {
            QString program;
            QString reason;
        } cases[] = {
            {dir.filePath(QStringLiteral("missing")), QStringLiteral("The file does not exist.")},
            {dir.path(), QStringLiteral("This is a folder, not a program.")},
#ifndef Q_OS_WIN
            {plain, QStringLiteral("The file is not executable.")},
#endif
            {QStringLiteral("orvinel-no-such-program"),
             QStringLiteral("The program was not found on the search path.")},
        };
        for (const auto& c : cases) {
            const StartResult result = services_.StartProgram(c.program, {});
            QVERIFY2(!result.ok, qPrintable(c.program));
            QCOMPARE(result.error, c.reason);
        }
    }

    // Arguments reach the program exactly as given: no shell sees them, so
    // blanks, quotes and "$(...)" stay plain text.
    void startProgramPassesArgumentsVerbatim()
    {
#ifdef Q_OS_WIN
        QSKIP("copies with the Unix cp");
#else
        const QString cp = QStandardPaths::findExecutable(QStringLiteral("cp"));
        if (cp.isEmpty())
            QSKIP("no cp on the search path");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(QStringLiteral("source.kml"));
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<kml/>");
        file.close();
        const QString target = dir.filePath(QStringLiteral("a b \"c\" $(touch injected) ;x.kml"));

        const StartResult result = services_.StartProgram(cp, {source, target});

        QVERIFY2(result.ok, qPrintable(result.error));
        QTRY_VERIFY(QFileInfo::exists(target));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
#endif
    }

    void startProgramTrue()
    {
#ifdef Q_OS_WIN
        QSKIP("/bin/true is a Unix program");
#else
        const StartResult result = services_.StartProgram(QStringLiteral("/bin/true"), {});
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.error.isEmpty());
#endif
    }
};

QTEST_MAIN(QtServicesTest)
#include "tst_qtservices.moc"
