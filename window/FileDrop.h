#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

// Takes a file dropped anywhere on a window, over any of its controls: drags
// that carry exactly one local file that `accepts` takes are shown as
// droppable and given to `dropped`; every other drag (text into a field)
// goes on as before.
class FileDrop : public QObject
{
    Q_OBJECT
public:
    using Accepts = std::function<bool(const QString& path)>;
    using Dropped = std::function<void(const QString& path)>;

    FileDrop(QWidget* window, Accepts accepts, Dropped dropped);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    Accepts accepts_;
    Dropped dropped_;
};
