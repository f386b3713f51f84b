#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// Asks which of a file's screen overlays to edit: a list of their titles
// (and the folders they stand in), OK and Cancel. A double click or Enter
// takes the overlay under the cursor.
class OverlayPicker : public QDialog
{
    Q_OBJECT
public:
    OverlayPicker(QWidget* parent, const QString& fileName, const QStringList& labels, int current);

    // The row chosen, from 0.
    int Chosen() const;

private:
    QListWidget* list_;
};
