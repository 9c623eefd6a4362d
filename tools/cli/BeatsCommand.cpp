#include "tools/cli/BeatsCommand.h"

#include "tools/cli/BeatCsvWriter.h"
#include "tools/cli/BeatTally.h"
#include "tools/cli/BeatsOptions.h"
#include "tools/cli/BeatsRun.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/SummaryJsonWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

BeatSummary summaryOf(const LoadedInput &loaded, const BeatCounts &counts, const RestingMeasurements &average) {
    const Recording &recording = loaded.recording;
    BeatSummary summary;
    summary.input.source = recording.source;
    summary.input.inputRate = recording.inputRate;
    summary.input.analysisRate = recording.rate;
    summary.input.seconds = recording.seconds();
    summary.input.channels = recording.presentChannels();
    summary.input.missingChannels = recording.missingChannels();
    summary.input.unmappedLeads = recording.unmappedLeads;
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

    LoadedInput loaded;
    QString error;
    if (!InputLoader::load(options, &loaded, &error)) {
        printError(error);
        return 1;
    }
    for (const QString &warning : loaded.warnings) printError(QStringLiteral("warning: ") + warning);
    for (const QString &output : {options.outPath, options.summaryPath})
        if (overwritesInput(output, loaded.files)) {
            printError(QStringLiteral("%1 is one of the input files; it is not overwritten").arg(output));
            return 2;
        }

    // The table replaces --out only when it is complete; without --out it
    // streams to standard output.
    std::unique_ptr<QFileDevice> table;
    if (options.outPath.isEmpty()) {
        auto standardOutput = std::make_unique<QFile>();
        if (!standardOutput->open(stdout, QIODevice::WriteOnly)) {
            printError(QStringLiteral("cannot write to standard output"));
            return 1;
        }
        table = std::move(standardOutput);
    } else {
        auto file = std::make_unique<QSaveFile>(options.outPath);
        if (!file->open(QIODevice::WriteOnly)) {
            printError(QStringLiteral("cannot write %1: %2").arg(options.outPath, file->errorString()));
            return 1;
        }
        table = std::move(file);
    }
    BeatCsvWriter writer(*table, loaded.recording.inputRate);
    BeatTally tally;
    BothListeners listeners(writer, tally);
    RestingMeasurements average;
    writer.writeHeader();
    try {
        runBeatAnalysis(loaded.recording, listeners, average);
    } catch (const std::exception &failure) {
        printError(QString::fromLocal8Bit(failure.what()));
        return 1;
    }
    auto *saveFile = dynamic_cast<QSaveFile *>(table.get());
    const bool written = writer.ok() && (saveFile ? saveFile->commit() : table->flush());
    if (!written) {
        printError(QStringLiteral("writing the beat table failed: %1")
                       .arg(writer.ok() ? table->errorString() : writer.errorString()));
        return 1;
    }
    if (!options.summaryPath.isEmpty() &&
        !SummaryJsonWriter::write(options.summaryPath, summaryOf(loaded, tally.counts(), average), &error)) {
        printError(error);
        return 1;
    }
    return 0;
}

}  // namespace BeatsCommand
