#include "CommandLine.h"

#include "Commands.h"
#include "frmOrvinel.h"

#include <QCommandLineParser>
#include <QFileInfo>

CommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes KML screen overlays for Google Earth: a legend, a logo or a title "
                       "card pinned to a place on the viewer's screen."));
    // Own options rather than Qt's: these never need an application object.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version."));
    parser.addOptions({help, version});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("An overlay file (.kml or .kmz) to open."),
                                 QStringLiteral("[FILE]"));

    CommandLine commandLine;
    if (!parser.parse(arguments)) {
        commandLine.action = CommandLine::Action::Error;
        commandLine.text = parser.errorText() + u'\n';
    } else if (parser.isSet(help)) {
        commandLine.action = CommandLine::Action::Help;
        // Qt names the program by its whole path, or by a placeholder before
        // the application exists: the file name is what a user types.
        commandLine.text = parser.helpText();
        const qsizetype name = commandLine.text.indexOf(u' ') + 1;
        commandLine.text.replace(name, commandLine.text.indexOf(QLatin1String(" [options]")) - name,
                                 arguments.isEmpty() ? QStringLiteral("orvinel")
                                                     : QFileInfo(arguments[0]).fileName());
    } else if (parser.isSet(version)) {
        commandLine.action = CommandLine::Action::Version;
        commandLine.text = Commands::ProgramVersion() + u'\n';
    } else if (parser.positionalArguments().size() > 1) {
        commandLine.action = CommandLine::Action::Error;
        commandLine.text = QStringLiteral("Orvinel opens one file at a time.\n");
    } else if (!parser.positionalArguments().isEmpty()) {
        commandLine.file = parser.positionalArguments().constFirst();
    }
    return commandLine;
}

void StartWindow(frmOrvinel& window, const CommandLine& commandLine)
{
    window.Form_Load();
    window.show();
    // Opened once the window shows, so a message about the file has a
    // window to stand over.
    if (!commandLine.file.isEmpty())
        window.OpenOverlayFile(commandLine.file);
}
