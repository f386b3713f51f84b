#include "QtServices.h"
#include "StartUp.h"
#include "WindowIcon.h"
#include "frmOrvinel.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    PrepareProcess();
    QApplication app(argc, argv);
    QApplication::setWindowIcon(orvinelWindowIcon());
    QApplication::setApplicationName(QStringLiteral("Orvinel"));
    // No application display name: on X11 Qt would append it to the window
    // caption ("Overlay Graphic: logo.png — Orvinel"), and the caption is the
    // window's own text. Message boxes name "Orvinel" themselves.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.orvinel.Orvinel"));
    QtServices services;
    frmOrvinel window(services);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
