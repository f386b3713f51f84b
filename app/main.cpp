#include "QtServices.h"
#include "WindowIcon.h"
#include "frmOrvinel.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(orvinelWindowIcon());
    QApplication::setApplicationName(QStringLiteral("Orvinel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Orvinel"));
    QtServices services;
    frmOrvinel window(services);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
