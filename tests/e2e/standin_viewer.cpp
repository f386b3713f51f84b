// Stands in for a KML viewer in the end-to-end tests: records the arguments it
// was started with, one per line in UTF-8, and exits. The record goes to the
// file named by ORVINEL_STANDIN_RECORD, or else to "<program>.args". Qt reads
// the arguments as Unicode on every platform, as a real viewer does on
// Windows, where the 8-bit argv loses what the code page lacks.
#include <QCoreApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    const QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    QString record = qEnvironmentVariable("ORVINEL_STANDIN_RECORD");
    if (record.isEmpty())
        record = arguments.constFirst() + QStringLiteral(".args");
    QFile out(record);
    if (!out.open(QIODevice::Append))
        return 1;
    arguments.removeFirst();
    for (const QString& argument : arguments)
        out.write(argument.toUtf8() + '\n');
    return out.flush() ? 0 : 1;
}
