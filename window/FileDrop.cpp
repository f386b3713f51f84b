#include "FileDrop.h"

#include "PlatformProfile.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <utility>

namespace {

QString SingleLocalFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    // Named as the file dialog names files: on Windows with "\\", which the
    // path helpers look for there.
    const QString path = data->urls().constFirst().toLocalFile();
    return PlatformProfile::Current().nativeDialogSeparators ? QDir::toNativeSeparators(path)
                                                             : path;
}

} // namespace

FileDrop::FileDrop(QWidget* window, Accepts accepts, Dropped dropped)
    : QObject(window), window_(window), accepts_(std::move(accepts)), dropped_(std::move(dropped))
{
    window->setAcceptDrops(true);
    // Drops go to the control under the mouse; the application filter sees
    // them first, whichever control it is.
    qApp->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !window_ || widget->window() != window_)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = SingleLocalFile(drop->mimeData());
    if (path.isEmpty() || !accepts_(path))
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        dropped_(path);
    return true;
}
