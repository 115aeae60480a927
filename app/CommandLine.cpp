#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

ConsoleOptions parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Consola de mando de los robots Marlo 3 y Tervan."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption camera(
        QStringLiteral("camera"),
        QStringLiteral("Start with this camera: a number, a device path such as /dev/video0, a "
                       "video file, a stream address, or \"test\" for a moving test pattern."),
        QStringLiteral("SOURCE"));
    const QCommandLineOption listPorts(
        QStringLiteral("list-ports"),
        QStringLiteral("List the serial ports of this machine and end."));
    parser.addOption(camera);
    parser.addOption(listPorts);
    parser.process(arguments);
    return ConsoleOptions{parser.value(camera), parser.isSet(listPorts)};
}
