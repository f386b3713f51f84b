// Holds a file open for a while, as a viewer reading it does: opens the file
// named first, says "held" on its output, waits the milliseconds named
// second, and exits. On Windows Qt opens files without delete sharing, so a
// rename over the file fails while it is held.
#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>

int main(int argc, char* argv[])
{
    const QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    QFile file(arguments[1]);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    QThread::msleep(arguments[2].toULong());
    return 0;
}
