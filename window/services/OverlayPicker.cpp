#include "OverlayPicker.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

OverlayPicker::OverlayPicker(QWidget* parent, const QString& fileName, const QStringList& labels,
                             int current)
    : QDialog(parent), list_(new QListWidget(this))
{
    setObjectName(QStringLiteral("OverlayPicker"));
    setWindowTitle(tr("Choose Screen Overlay"));
    auto* prompt = new QLabel(
        tr("%1 holds %2 screen overlays. Choose the one to edit:").arg(fileName).arg(labels.size()),
        this);
    prompt->setTextFormat(Qt::PlainText);
    prompt->setWordWrap(true);
    prompt->setBuddy(list_);
    list_->setObjectName(QStringLiteral("overlayList"));
    list_->setAccessibleName(tr("Screen overlays"));
    list_->addItems(labels);
    list_->setCurrentRow(qBound(0, current, int(labels.size()) - 1));
    // Room for a title and its folders without a scroll bar sideways.
    list_->setMinimumWidth(qMin(list_->sizeHintForColumn(0) + 40, 640));
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Edit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    list_->setFocus();
}

int OverlayPicker::Chosen() const
{
    return list_->currentRow();
}
