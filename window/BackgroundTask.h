#pragma once

#include <QString>

#include <chrono>
#include <functional>

class QWidget;
struct ReadControl;

// How long work may run before its progress dialog shows: shorter reads
// pass without a flash of a dialog.
inline constexpr std::chrono::milliseconds kShowProgressAfter{500};

// Runs `work` on a thread of its own and returns when it has ended, while
// the window goes on painting. Input waits until the dialog shows: past
// `showAfter`, a modal progress dialog under `parent` shows `label`, how far
// `control` says the work is, and a Cancel button that sets
// `control.cancelled`. Returns false when the user cancelled; the work has
// ended then too, and its result is to be thrown away.
bool RunWithProgress(QWidget* parent, const QString& label, ReadControl& control,
                     const std::function<void()>& work,
                     std::chrono::milliseconds showAfter = kShowProgressAfter);
