// tarvelin-ecg-sim: synthetic 14-lead ECG recordings for demonstration and
// testing, and ECG-paper plots of such recordings.

#include "tools/sim/DeviceSimCommand.h"
#include "tools/sim/EquipmentSimulator.h"
#include "tools/sim/PlotCommand.h"
#include "tools/sim/RecordCommand.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace {
const char *const kUsage =
    "Usage: tarvelin-ecg-sim record --out FILE [options]   write a synthetic recording\n"
    "       tarvelin-ecg-sim plot --in FILE --out PNG [...]   draw a 12-lead page\n"
    "       tarvelin-ecg-sim device [options]               play the ECG front end on a pseudo-terminal\n"
    "       tarvelin-ecg-sim kipnet|olmo [--link PATH]      play a treadmill or ergometer on a pseudo-terminal\n"
    "Run a command with --help for its options.\n";
}

int main(int argc, char **argv) {
    // Our own arguments are taken before Qt sees them, so Qt never consumes
    // or reinterprets any of them.
    QStringList arguments;
    for (int i = 2; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    if (command == QLatin1String("record")) return RecordCommand::run(arguments);
    if (command == QLatin1String("device")) return DeviceSimCommand::run(arguments);
    if (command == QLatin1String("kipnet") || command == QLatin1String("olmo"))
        return EquipmentSimulator::run(command, arguments);
    if (command == QLatin1String("plot")) {
        // Text and images need a GUI application; headless by default.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        int qtArgc = 1;
        QGuiApplication application(qtArgc, argv);
        return PlotCommand::run(arguments);
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command.isEmpty())
        std::fputs("tarvelin-ecg-sim: missing command\n", stderr);
    else
        std::fprintf(stderr, "tarvelin-ecg-sim: unknown command \"%s\"\n", qPrintable(command));
    std::fputs(kUsage, stderr);
    return 2;
}
