#include "BackgroundTask.h"

#include "OverlayReader.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <memory>

bool RunWithProgress(QWidget* parent, const QString& label, ReadControl& control,
                     const std::function<void()>& work, std::chrono::milliseconds showAfter)
{
    const std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();

    // A short read ends here: the window repaints, and what the user types
    // meanwhile is delivered once the values are in.
    QTimer::singleShot(showAfter, &loop, &QEventLoop::quit);
    if (!thread->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (thread->isFinished()) {
        thread->wait();
        return true;
    }

    constexpr int kSteps = 1000;
    QProgressDialog progress(label, QObject::tr("Cancel"), 0, kSteps, parent);
    progress.setWindowTitle(QStringLiteral("Orvinel"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&control, &loop] {
        control.cancelled = true;
        loop.quit();
    });
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, &progress, [&control, &progress] {
        const qint64 total = control.total;
        if (total > 0)
            progress.setValue(int(qMin<qint64>(kSteps, control.done * kSteps / total)));
    });
    ticks.start(100);
    progress.show();
    if (!thread->isFinished())
        loop.exec();
    ticks.stop();
    thread->wait();
    return !control.cancelled;
}
