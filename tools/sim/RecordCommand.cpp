#include "tools/sim/RecordCommand.h"

#include "tools/sim/model/EcgSynthesizer.h"
#include "tools/sim/model/RecordOptions.h"
#include "tools/sim/model/TruthTable.h"

#include <QSaveFile>
#include <cstdio>

namespace RecordCommand {
namespace {
void printError(const QString &message) { std::fprintf(stderr, "tarvelin-ecg-sim record: %s\n", qPrintable(message)); }
}  // namespace

int run(const QStringList &arguments) {
    const RecordOptions options = RecordOptions::parse(arguments);
    if (options.helpRequested) {
        std::fputs(qPrintable(RecordOptions::helpText()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        printError(options.error);
        std::fputs("Try 'tarvelin-ecg-sim record --help'.\n", stderr);
        return 2;
    }
    const SimulationConfig &config = options.config;
    const EcgSynthesizer synthesizer(config);

    // Both files appear only when both were written completely, so an
    // interrupted run never leaves a truncated recording behind.
    QSaveFile recording(config.outPath);
    QSaveFile truth(config.truthPath);
    QString error;
    if (!recording.open(QIODevice::WriteOnly)) {
        printError(QStringLiteral("cannot write %1: %2").arg(config.outPath, recording.errorString()));
        return 1;
    }
    if (!truth.open(QIODevice::WriteOnly)) {
        printError(QStringLiteral("cannot write %1: %2").arg(config.truthPath, truth.errorString()));
        return 1;
    }
    if (!synthesizer.writeRecording(recording, &error)) {
        printError(QStringLiteral("writing %1 failed: %2").arg(config.outPath, error));
        return 1;
    }
    if (!TruthTable::write(truth, synthesizer.truth(), &error)) {
        printError(QStringLiteral("writing %1 failed: %2").arg(config.truthPath, error));
        return 1;
    }
    if (!recording.commit()) {
        printError(QStringLiteral("writing %1 failed: %2").arg(config.outPath, recording.errorString()));
        return 1;
    }
    if (!truth.commit()) {
        printError(QStringLiteral("writing %1 failed: %2").arg(config.truthPath, truth.errorString()));
        return 1;
    }
    return 0;
}

}  // namespace RecordCommand
