// tarvelin-ecg-cli: headless analysis of recorded ECGs and study tools from
// the command line.

#include "tools/cli/AcquireCommand.h"
#include "tools/cli/BeatsCommand.h"
#include "tools/cli/RenderCommand.h"
#include "tools/cli/RunCommand.h"
#include "tools/cli/StudyCommand.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {
const char *const kUsage = "Usage: tarvelin-ecg-cli COMMAND [options]\n"
                           "Commands:\n"
                           "  beats   find and classify the beats of a recording (demonstration format or\n"
                           "          WFDB record); writes a CSV beat table and optionally a JSON summary\n"
                           "  acquire record from the ECG front end through the acquisition driver and\n"
                           "          report frames, rate, battery, electrodes and saturation\n"
                           "  run     a headless stress test through the monitoring engine, fed from a\n"
                           "          recording, into a new study; prints the study id and stage table\n"
                           "  study   list, show, export and import the studies of a store\n"
                           "  render  draw a page of a recording on ECG paper into a PNG or PDF file\n"
                           "Run a command with --help for its options.\n";
}

int main(int argc, char **argv) {
    // Our own arguments are taken before Qt sees them, so Qt never consumes
    // or reinterprets any of them.
    QStringList arguments;
    for (int i = 2; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    int qtArgc = 1;
    if (command == QLatin1String("render")) {
        // Text and pages need a GUI application; headless by default.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(qtArgc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return RenderCommand::run(arguments, out, err);
    }
    QCoreApplication application(qtArgc, argv);

    if (command == QLatin1String("beats")) return BeatsCommand::run(arguments);
    if (command == QLatin1String("acquire")) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return AcquireCommand::run(arguments, out, err);
    }
    if (command == QLatin1String("run")) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        return RunCommand::run(arguments, out, err);
    }
    if (command == QLatin1String("study")) {
        QTextStream out(stdout);
        QTextStream err(stderr);
        // Patient names are UTF-8 whatever the terminal's locale says.
        out.setCodec("UTF-8");
        err.setCodec("UTF-8");
        return StudyCommand::run(arguments, out, err);
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command.isEmpty())
        std::fputs("tarvelin-ecg-cli: missing command\n", stderr);
    else
        std::fprintf(stderr, "tarvelin-ecg-cli: unknown command \"%s\"\n", qPrintable(command));
    std::fputs(kUsage, stderr);
    return 2;
}
