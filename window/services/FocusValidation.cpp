#include "FocusValidation.h"

#include <QWidget>

FocusValidation::FocusValidation(QWidget* window) : QObject(window), window_(window) {}

FocusValidation::~FocusValidation() = default;

void FocusValidation::Add(QWidget* control, Check check)
{
    entries_.push_back({control, std::move(check)});
}

bool FocusValidation::eventFilter(QObject* watched, QEvent* event)
{
    return QObject::eventFilter(watched, event);
}
