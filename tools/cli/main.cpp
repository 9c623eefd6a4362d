// tarvelin-ecg-cli: headless analysis of recorded ECGs and study tools from
// the command line.

#include "tools/cli/AcquireCommand.h"
#include "tools/cli/BeatsCommand.h"
#include "tools/cli/RenderCommand.h"
#include "tools/cli/ReportCommand.h"
#include "tools/cli/RestingCommand.h"
#include "tools/cli/RunCommand.h"
#include "tools/cli/StripCommand.h"
#include "tools/cli/StudyCommand.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
const char *const kUsage = "Usage: tarvelin-ecg-cli COMMAND [options]\n"
                           "Commands:\n"
                           "  beats   find and classify the beats of a recording (demonstration format or\n"
                           "          WFDB record); writes a CSV beat table and optionally a JSON summary\n"
                           "  acquire record from the ECG front end through the acquisition driver and\n"
                           "          report frames, rate, battery, electrodes and saturation\n"
                           "  run     a headless stress test through the monitoring engine, fed from a\n"
                           "          recording, into a new study; prints the study id and stage table\n"
                           "  resting a resting-ECG study from a recording: signal, beats and the global\n"
                           "          12-lead measurement; prints the study id\n"
                           "  study   list, show, export and import the studies of a store\n"
                           "  render  draw a page of a recording on ECG paper into a PNG or PDF file\n"
                           "  report  write the report of a stored study as a PDF file\n"
                           "  strip   write leads of a stored study for the strip printer (ESC/P)\n"
                           "Run a command with --help for its options.\n";

// Everything a command printed must have reached standard output: a full
// disk or a closed pipe there is a failed run, whatever the command thought.
// Text streams write through `streamed` (the descriptor, so a failure keeps
// its reason); the rest through the C library's stdout.
int finishStandardOutput(int exitCode, QFile &streamed) {
    QString reason;
    if (!streamed.flush() || streamed.error() != QFileDevice::NoError) reason = streamed.errorString();
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int flushError = errno;
    const bool clean = !std::ferror(stdout);
    errno = 0;
    const bool closed = std::fclose(stdout) == 0;
    const int closeError = errno;
    if (reason.isEmpty() && !(flushed && clean && closed)) {
        const int error = !flushed ? flushError : closeError;
        reason =
            error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("a write was not completed");
    }
    if (reason.isEmpty()) return exitCode;
    std::fprintf(stderr, "tarvelin-ecg-cli: writing standard output failed: %s\n", qPrintable(reason));
    return exitCode == 0 ? 1 : exitCode;
}

int runCommand(const QString &command, const QStringList &arguments, QTextStream &out, QTextStream &err) {
    if (command == QLatin1String("beats")) return BeatsCommand::run(arguments);
    if (command == QLatin1String("acquire")) return AcquireCommand::run(arguments, out, err);
    if (command == QLatin1String("run")) return RunCommand::run(arguments, out, err);
    if (command == QLatin1String("resting")) return RestingCommand::run(arguments, out, err);
    if (command == QLatin1String("render")) return RenderCommand::run(arguments, out, err);
    if (command == QLatin1String("strip")) return StripCommand::run(arguments, out, err);
    if (command == QLatin1String("report")) {
        out.setCodec("UTF-8");
        err.setCodec("UTF-8");
        return ReportCommand::run(arguments, out, err);
    }
    if (command == QLatin1String("study")) {
        // Patient names are UTF-8 whatever the terminal's locale says.
        out.setCodec("UTF-8");
        err.setCodec("UTF-8");
        return StudyCommand::run(arguments, out, err);
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out << kUsage;
        return 0;
    }
    if (command.isEmpty())
        err << "tarvelin-ecg-cli: missing command\n";
    else
        err << "tarvelin-ecg-cli: unknown command \"" << command << "\"\n";
    err << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    // Our own arguments are taken before Qt sees them, so Qt never consumes
    // or reinterprets any of them.
    QStringList arguments;
    for (int i = 2; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    int qtArgc = 1;
    std::unique_ptr<QCoreApplication> application;
    if (command == QLatin1String("render") || command == QLatin1String("report") || command == QLatin1String("strip")) {
        // Text and pages need a GUI application; headless by default.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(qtArgc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(qtArgc, argv);
    }
    QFile standardOutput;
    standardOutput.open(fileno(stdout), QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    int exitCode = 0;
    {
        QTextStream out(&standardOutput);
        QTextStream err(stderr);
        exitCode = runCommand(command, arguments, out, err);
    }
    return finishStandardOutput(exitCode, standardOutput);
}
