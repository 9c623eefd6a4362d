#include "tools/cli/BeatsCommand.h"

#include "tools/cli/BeatCsvWriter.h"
#include "tools/cli/BeatTally.h"
#include "tools/cli/BeatsOptions.h"
#include "tools/cli/BeatsRun.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/OutputFile.h"
#include "tools/cli/SummaryJsonWriter.h"

#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <memory>

namespace BeatsCommand {
namespace {

void printError(const QString &message) { std::fprintf(stderr, "tarvelin-ecg-cli beats: %s\n", qPrintable(message)); }

// Hands every beat to the table and the tally.
class BothListeners : public BeatListener {
public:
    BothListeners(BeatListener &first, BeatListener &second) : first_(first), second_(second) {}
    void beatEmitted(const BeatRecord &beat) override {
        first_.beatEmitted(beat);
        second_.beatEmitted(beat);
    }

private:
    BeatListener &first_;
    BeatListener &second_;
};

// An output that would replace one of the files just read is refused: the
// recording would be lost.
bool overwritesInput(const QString &output, const QStringList &inputs) {
    if (output.isEmpty()) return false;
    const QFileInfo outputInfo(output);
    for (const QString &input : inputs) {
        const QFileInfo inputInfo(input);
        if (outputInfo.exists() ? outputInfo.canonicalFilePath() == inputInfo.canonicalFilePath()
                                : outputInfo.absoluteFilePath() == inputInfo.absoluteFilePath())
            return true;
    }
    return false;
}

BeatSummary summaryOf(const RecordingStream &recording, const BeatCounts &counts, const RestingMeasurements &average) {
    BeatSummary summary;
    summary.input.source = recording.source();
    summary.input.inputRate = recording.inputRate();
    summary.input.analysisRate = recording.rate();
    summary.input.seconds = recording.seconds();
    summary.input.channels = recording.presentChannels();
    summary.input.missingChannels = recording.missingChannels();
    summary.input.unmappedLeads = recording.unmappedLeads();
    summary.beats = counts;
    summary.average = average;
    return summary;
}

}  // namespace

int run(const QStringList &arguments) {
    const BeatsOptions options = BeatsOptions::parse(arguments);
    if (options.helpRequested) {
        std::fputs(qPrintable(BeatsOptions::helpText()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        printError(options.error);
        std::fputs("Try 'tarvelin-ecg-cli beats --help'.\n", stderr);
        return 2;
    }

    QString error;
    const std::unique_ptr<RecordingStream> recording = InputLoader::open(options, &error);
    if (!recording) {
        printError(error);
        return 1;
    }
    for (const QString &warning : InputLoader::openingWarnings(*recording))
        printError(QStringLiteral("warning: ") + warning);
    for (const QString &output : {options.outPath, options.summaryPath})
        if (overwritesInput(output, recording->files())) {
            printError(QStringLiteral("%1 is one of the input files; it is not overwritten").arg(output));
            return 2;
        }

    // The table replaces --out only when it is complete; without --out it
    // streams to standard output.
    OutputFile table(options.outPath);
    if (!table.open()) {
        printError(table.errorString());
        return 1;
    }
    BeatCsvWriter writer(table.device(), recording->inputRate());
    BeatTally tally;
    BothListeners listeners(writer, tally);
    RestingMeasurements average;
    writer.writeHeader();
    try {
        runBeatAnalysis(*recording, listeners, average);
    } catch (const std::exception &failure) {
        printError(QString::fromLocal8Bit(failure.what()));
        return 1;
    }
    for (const QString &warning : InputLoader::clippingWarnings(*recording))
        printError(QStringLiteral("warning: ") + warning);
    if (!writer.ok()) {
        printError(QStringLiteral("writing the beat table to %1 failed: %2").arg(table.name(), writer.errorString()));
        return 1;
    }
    if (!table.commit()) {
        printError(table.errorString());
        return 1;
    }
    if (!options.summaryPath.isEmpty() &&
        !SummaryJsonWriter::write(options.summaryPath, summaryOf(*recording, tally.counts(), average), &error)) {
        printError(error);
        return 1;
    }
    return 0;
}

}  // namespace BeatsCommand
