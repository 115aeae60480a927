#include "app/CommandLine.h"

#include "app/ConsoleSettings.h"
#include "app/Translation.h"
#include "job/Report.h"
#include "platform/FrameSource.h"
#include "platform/PortList.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace {

struct ConsoleParser {
    QCommandLineParser parser;
    QCommandLineOption help = parser.addHelpOption();
    QCommandLineOption version = parser.addVersionOption();
    QCommandLineOption camera{
        QStringLiteral("camera"),
        QStringLiteral("Start with this camera: a number, a device path such as /dev/video0, a "
                       "video file, a stream address, or \"test\" for a moving test pattern "
                       "(\"test:1280x720\" at that size: even sides, 16 to 1920 by 16 to "
                       "1080)."),
        QStringLiteral("SOURCE")};
    QCommandLineOption listPorts{
        QStringLiteral("list-ports"),
        QStringLiteral("List the serial ports of this machine, with whether you may open each, "
                       "and end.")};
    QCommandLineOption job{QStringLiteral("job"),
                           QStringLiteral("Start the inspection job NAME: pictures, recordings, "
                                          "their telemetry and the observations go to its folder."),
                           QStringLiteral("NAME")};
    QCommandLineOption report{
        QStringLiteral("report"),
        QStringLiteral("Write report.html and report.pdf of the job in FOLDER, and end."),
        QStringLiteral("FOLDER")};
    QCommandLineOption remoteView{
        QStringLiteral("remote-view"),
        QStringLiteral("Serve the remote view on PORT (of ADDRESS only, when given) and print its "
                       "address with the access code."),
        QStringLiteral("[ADDRESS:]PORT")};
    QCommandLineOption lang{QStringLiteral("lang"),
                            QStringLiteral("Show the console in LANG for this run: es (Spanish) or "
                                           "en (English). Without it, the language chosen in the "
                                           "window's context menu, Spanish by default."),
                            QStringLiteral("LANG")};

    ConsoleParser() {
        parser.setApplicationDescription(
            QStringLiteral("Consola de mando de los robots Marlo 3 y Tervan."));
        parser.addOption(camera);
        parser.addOption(listPorts);
        parser.addOption(job);
        parser.addOption(report);
        parser.addOption(remoteView);
        parser.addOption(lang);
    }
};

QStringList argumentList(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

ConsoleOptions parseCommandLine(const QStringList& arguments) {
    ConsoleParser p;
    p.parser.process(arguments);
    // Refused as the parser refuses a bad option: the reason, and the end.
    if (const QString problem = platform::captureSourceProblem(p.parser.value(p.camera));
        !problem.isEmpty()) {
        std::fputs((QStringLiteral("marlo-consola: ") + problem + '\n').toLocal8Bit(), stderr);
        std::exit(EXIT_FAILURE);
    }
    ConsoleOptions options{p.parser.value(p.camera),
                           p.parser.isSet(p.listPorts),
                           p.parser.value(p.job),
                           p.parser.value(p.report),
                           std::nullopt,
                           std::nullopt};
    if (p.parser.isSet(p.remoteView)) {
        options.remoteView = parseRemoteAddress(p.parser.value(p.remoteView));
        // Ends as the parser ends on a malformed option.
        if (!options.remoteView) {
            std::fputs("--remote-view: se espera [DIRECCIÓN:]PUERTO, con un puerto de 1 a 65535\n",
                       stderr);
            std::exit(1);
        }
    }
    if (p.parser.isSet(p.lang)) {
        options.language = settings::idiomaFromText(p.parser.value(p.lang));
        if (!options.language) {
            std::fputs("--lang: se espera es o en (expected es or en)\n", stderr);
            std::exit(1);
        }
    }
    return options;
}

bool needsNoWindow(const QStringList& arguments) {
    ConsoleParser p;
    // Unknown options are left to the full parse, which reports them.
    p.parser.parse(arguments);
    return p.parser.isSet(p.help) || p.parser.isSet(QStringLiteral("help-all")) ||
           p.parser.isSet(p.version) || p.parser.isSet(p.listPorts);
}

bool wantsReport(const QStringList& arguments) {
    ConsoleParser p;
    p.parser.parse(arguments);
    return p.parser.isSet(p.report) && !needsNoWindow(arguments);
}

namespace {

// The report is drawn and laid out by Qt's painting, which needs a platform but no display.
int writeReportAndEnd(int& argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const ConsoleOptions options = parseCommandLine(QCoreApplication::arguments());
    const settings::ConsoleSettings stored = settings::readStartupSettings().values;
    // In the console's language, as from its window.
    const auto translator = installTranslator(options.language.value_or(stored.idioma));
    const job::ReportOutcome outcome =
        job::writeReportFiles(options.report, {}, platform::localDisk(), {.logo = stored.logotipo});
    std::fputs((outcome.message() + '\n').toLocal8Bit(),
               outcome.exitStatus() == 0 ? stdout : stderr);
    return outcome.exitStatus();
}

} // namespace

std::optional<int> runWithoutWindow(int& argc, char** argv) {
    if (wantsReport(argumentList(argc, argv)))
        return writeReportAndEnd(argc, argv);
    if (!needsNoWindow(argumentList(argc, argv)))
        return std::nullopt;
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("marlo-consola"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARLO_VERSION));
    const ConsoleOptions options = parseCommandLine(QCoreApplication::arguments());
    if (options.listPorts)
        std::fputs(platform::describeSerialPorts(platform::listSerialPorts()).toLocal8Bit(),
                   stdout);
    return 0;
}
