#include "Commands.h"
#include "FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kOverwriteQuestion =
    QStringLiteral("File already exists - do you want to overwrite the existing file?");

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class SaveAsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void outputPath_replacesWhatFollowsTheFirstDotOfTheName_data();
    void outputPath_replacesWhatFollowsTheFirstDotOfTheName();
    void ask_computesThePathWithoutAQuestionWhenNothingIsThere();
    void ask_questionOnlyForAnOrdinaryFile_data();
    void ask_questionOnlyForAnOrdinaryFile();
    void cancel_givesNothing();
};

void SaveAsTest::outputPath_replacesWhatFollowsTheFirstDotOfTheName_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");

    const QChar windows = QLatin1Char('\\');
    const QChar unix = QLatin1Char('/');
    QTest::newRow("kml") << windows << "C:\\Maps\\city.kml"
                         << "C:\\Maps\\city.kml";
    QTest::newRow("no extension") << windows << "C:\\Maps\\city"
                                  << "C:\\Maps\\city.kml";
    QTest::newRow("other extension") << windows << "C:\\Maps\\city.txt"
                                     << "C:\\Maps\\city.kml";
    QTest::newRow("several dots") << windows << "C:\\Maps\\city.overlay.kml"
                                  << "C:\\Maps\\city.kml";
    QTest::newRow("dotted folder") << windows << "C:\\My.Maps\\city"
                                   << "C:\\My.Maps\\city.kml";
    QTest::newRow("unix, several dots") << unix << "/home/ann/my.maps/city.v2.txt"
                                        << "/home/ann/my.maps/city.kml";
    QTest::newRow("unix, dotted folder") << unix << "/home/ann/my.maps/city"
                                         << "/home/ann/my.maps/city.kml";
}

void SaveAsTest::outputPath_replacesWhatFollowsTheFirstDotOfTheName()
{
    QFETCH(QChar, separator);
    QFETCH(QString, chosen);
    QTEST(OutputPathFor(chosen, separator), "expected");
}

void SaveAsTest::ask_computesThePathWithoutAQuestionWhenNothingIsThere()
{
    QTemporaryDir dir;
    FakeServices services;
    services.fileDialogAnswers = {dir.filePath(QStringLiteral("city.overlay.txt"))};
    CommonDialog dialog(services, nullptr);

    QCOMPARE(AskOutputFilePath(dialog, services, nullptr),
             dir.filePath(QStringLiteral("city.kml")));
    const QList<FakeServices::Call> dialogs = services.CallsOf(FakeServices::Kind::FileDialog);
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].mode, FileDialogMode::Save);
    QCOMPARE(dialogs[0].title, QStringLiteral("Save KML Screen Overlay File"));
    QCOMPARE(dialogs[0].text, QStringLiteral("KML output file|*.kml"));
    QCOMPARE(services.MessageCount(), 0);
    QCOMPARE(dialog.FileName(), QString());
    // Choosing a name writes nothing; the window writes after adopting it.
    QVERIFY(QDir(dir.path()).isEmpty());
}

void SaveAsTest::ask_questionOnlyForAnOrdinaryFile_data()
{
    QTest::addColumn<bool>("folderInTheWay");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("taken");

    QTest::newRow("file, Yes") << false << true << true << true;
    QTest::newRow("file, No") << false << false << true << false;
    // A folder is not a file to overwrite; the write itself will report it.
    QTest::newRow("folder") << true << false << false << true;
}

void SaveAsTest::ask_questionOnlyForAnOrdinaryFile()
{
    QFETCH(bool, folderInTheWay);
    QFETCH(bool, answer);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("city.kml"));
    if (folderInTheWay)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("city.kml")));
    else
        Touch(existing);

    FakeServices services;
    services.fileDialogAnswers = {dir.filePath(QStringLiteral("city"))};
    services.yesNoAnswers = {answer};
    CommonDialog dialog(services, nullptr);
    const std::optional<QString> path = AskOutputFilePath(dialog, services, nullptr);

    const QList<FakeServices::Call> questions = services.CallsOf(FakeServices::Kind::AskYesNo);
    QTEST(!questions.isEmpty(), "asked");
    if (!questions.isEmpty()) {
        QCOMPARE(questions.size(), 1);
        QCOMPARE(questions[0].text, kOverwriteQuestion);
    }
    QTEST(path.has_value(), "taken");
    if (path)
        QCOMPARE(*path, existing);
}

void SaveAsTest::cancel_givesNothing()
{
    FakeServices services;
    services.existingFiles = {QStringLiteral(".kml")};
    CommonDialog dialog(services, nullptr);
    QVERIFY(!AskOutputFilePath(dialog, services, nullptr));
    QCOMPARE(services.MessageCount(), 0);
}

QTEST_GUILESS_MAIN(SaveAsTest)
#include "SaveAsTest.moc"
