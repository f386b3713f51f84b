// The window on a screen given on the command line ("WIDTHxHEIGHT@PERCENT",
// the platform's scaling), as common laptop and desktop screens are: never
// partly off the screen's free area; where it does not fit, its content
// scrolls below the menu bar with every control in its place, and the
// keyboard's focus is always in view.

#include "ScreenFit.h"
#include "WindowTestSupport.h"

#include <QAbstractScrollArea>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>

class ScreensTest : public QObject
{
    Q_OBJECT
public:
    ScreensTest(QSize screen, int percent) : screen_(screen), percent_(percent) {}

private:
    QSize screen_; // in the screen's own pixels
    int percent_;  // the platform's scaling

private Q_SLOTS:
    // A frame goes centred on the whole screen, moved as little as needed
    // off a taskbar or a panel into the free area.
    void place_centredThenInsideTheFreeArea_data()
    {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("place");
        const QRect whole(0, 0, 1000, 600);
        QTest::newRow("fits: centred") << QSize(400, 300) << whole << QPoint(300, 150);
        QTest::newRow("taskbar below")
            << QSize(400, 560) << QRect(0, 0, 1000, 560) << QPoint(300, 0);
        QTest::newRow("panel above")
            << QSize(400, 560) << QRect(0, 40, 1000, 560) << QPoint(300, 40);
        QTest::newRow("dock at left")
            << QSize(960, 300) << QRect(60, 0, 940, 600) << QPoint(60, 150);
        QTest::newRow("dock at right")
            << QSize(960, 300) << QRect(0, 0, 940, 600) << QPoint(0, 150);
    }
    void place_centredThenInsideTheFreeArea()
    {
        QFETCH(QSize, frame);
        QFETCH(QRect, available);
        QFETCH(QPoint, place);
        QCOMPARE(FittedPlace(frame, QRect(0, 0, 1000, 600), available), place);
    }

    void window_fitsTheScreen_scrollingWhereItMust()
    {
        WindowDriver driver;
        QVERIFY(driver.Open());
        frmOrvinel* window = driver.window.get();
        const QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->geometry().size(), screen_ * 100 / percent_);
        const QRect available = screen->availableGeometry();
        QVERIFY2(available.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                .arg(window->frameGeometry().x())
                                .arg(window->frameGeometry().y())
                                .arg(window->frameGeometry().width())
                                .arg(window->frameGeometry().height())));
        QCOMPARE(window->minimumSize(), window->maximumSize());

        // The controls keep their size and places; the area scrolls only
        // where the window is smaller than they need.
        auto* area = driver.Get<QAbstractScrollArea>("scrollArea");
        const QSize client = driver.Get("clientArea")->size();
        QCOMPARE(client, QSize(413, 741));
        const QSize natural = client + QSize(0, area->geometry().top());
        const bool fits = natural.width() + window->frameGeometry().width() - window->width() <=
                              available.width() &&
                          natural.height() + window->frameGeometry().height() - window->height() <=
                              available.height();
        QCOMPARE(area->verticalScrollBar()->isVisible(), !fits);
        QCOMPARE(area->horizontalScrollBar()->isVisible(), false);
        if (fits) {
            QCOMPARE(window->size(), natural);
            QVERIFY((window->frameGeometry().center() - screen->geometry().center())
                        .manhattanLength() <= 2);
        }

        // Tab to the last control, then back to the first: each is in view
        // when it has the focus, and clicking it there is clicking it.
        const QRect view = area->viewport()->rect();
        for (const char* name : {"cmdNew_Program", "cmdOpen_graphic_file"}) {
            QWidget* control = driver.Get(name);
            while (QApplication::focusWidget() != control)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
            QVERIFY2(view.contains(shown), name);
            QCOMPARE(area->viewport()->childAt(shown.center()), control);
        }
    }
};

// The screen is the platform's before the application starts.
int main(int argc, char** argv)
{
    const QRegularExpressionMatch screen =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)@(\\d+)$"))
            .match(QString::fromLatin1(argc > 1 ? argv[1] : ""));
    if (!screen.hasMatch())
        qFatal("usage: window_screens WIDTHxHEIGHT@PERCENT [test options]");
    const QSize size(screen.captured(1).toInt(), screen.captured(2).toInt());
    const int percent = screen.captured(3).toInt();
    // A configuration file in the working folder: a relative name keeps a
    // drive letter's colon out of the platform's options.
    QTemporaryDir folder;
    QFile config(folder.filePath(QStringLiteral("screen.json")));
    const QByteArray json = QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, )"
                                           R"("width": %1, "height": %2, "logicalDpi": %3, )"
                                           R"("logicalBaseDpi": 96, "dpr": 1}]})")
                                .arg(size.width())
                                .arg(size.height())
                                .arg(96 * percent / 100)
                                .toLatin1();
    if (!config.open(QIODevice::WriteOnly) || config.write(json) != json.size())
        qFatal("cannot write the screen's configuration");
    config.close();
    QDir::setCurrent(folder.path());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=screen.json");
    QApplication app(argc, argv);
    ScreensTest test(size, percent);
    QStringList arguments = QApplication::arguments();
    arguments.removeAt(1);
    return QTest::qExec(&test, arguments);
}

#include "tst_screens.moc"
