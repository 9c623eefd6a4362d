#include "tools/cli/InputLoader.h"

#include "tools/cli/LeadNames.h"
#include "tools/cli/RawRecordingReader.h"
#include "tools/cli/WfdbRecordReader.h"

namespace InputLoader {

std::unique_ptr<RecordingStream> open(const BeatsOptions &options, QString *error) {
    std::unique_ptr<SignalBlockReader> reader = options.input == BeatsOptions::Input::Wfdb
                                                    ? WfdbRecordReader::open(options.inputPath, error)
                                                    : RawRecordingReader::open(options.inputPath, options.raw, error);
    if (!reader) return nullptr;
    if (!options.leadNames.isEmpty() && !LeadNames::rename(options.leadNames, &reader->leadsDescription(), error))
        return nullptr;
    return RecordingStream::open(std::move(reader), error);
}

QStringList openingWarnings(const RecordingStream &stream) {
    QStringList warnings = stream.warnings();
    if (!stream.unmappedLeads().isEmpty())
        warnings << QStringLiteral("leads not analysed (no such channel): %1")
                        .arg(stream.unmappedLeads().join(QStringLiteral(", ")));
    return warnings;
}

QStringList clippingWarnings(const RecordingStream &stream) {
    if (stream.clippedSamples() == 0) return {};
    return {QStringLiteral("%1 samples beyond +-%2 mV were held at the limit")
                .arg(stream.clippedSamples())
                .arg(Recording::kRangeMv)};
}

bool load(const BeatsOptions &options, LoadedInput *loaded, QString *error) {
    *loaded = LoadedInput();
    const std::unique_ptr<RecordingStream> stream = open(options, error);
    if (!stream || !stream->readAll(&loaded->recording, error)) return false;
    loaded->files = stream->files();
    loaded->warnings = openingWarnings(*stream) + clippingWarnings(*stream);
    return true;
}

}  // namespace InputLoader
