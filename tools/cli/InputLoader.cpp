#include "tools/cli/InputLoader.h"

#include "tools/cli/LeadNames.h"
#include "tools/cli/RawRecordingReader.h"
#include "tools/cli/RecordingBuilder.h"
#include "tools/cli/WfdbRecordReader.h"

namespace InputLoader {

bool load(const BeatsOptions &options, LoadedInput *loaded, QString *error) {
    *loaded = LoadedInput();
    InputSignals input;
    const bool read = options.input == BeatsOptions::Input::Wfdb
                          ? WfdbRecordReader::read(options.inputPath, &input, error)
                          : RawRecordingReader::read(options.inputPath, options.raw, &input, error);
    if (!read) return false;
    if (!options.leadNames.isEmpty() && !LeadNames::rename(options.leadNames, &input, error)) return false;
    loaded->files = input.files;
    loaded->warnings = input.warnings;
    if (!RecordingBuilder::build(input, &loaded->recording, error)) return false;
    const Recording &recording = loaded->recording;
    if (!recording.unmappedLeads.isEmpty())
        loaded->warnings << QStringLiteral("leads not analysed (no such channel): %1")
                                .arg(recording.unmappedLeads.join(QStringLiteral(", ")));
    if (recording.clippedSamples > 0)
        loaded->warnings << QStringLiteral("%1 samples beyond +-%2 mV were held at the limit")
                                .arg(recording.clippedSamples)
                                .arg(Recording::kRangeMv);
    return true;
}

}  // namespace InputLoader
