#include "frmOrvinel.h"

#include <QLabel>
#include <QVBoxLayout>

frmOrvinel::frmOrvinel(Services& services, QWidget* parent) : QWidget(parent), services_(services)
{
    setWindowTitle(QStringLiteral("KML Orvinel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("The Orvinel window is being built."), this));
}
