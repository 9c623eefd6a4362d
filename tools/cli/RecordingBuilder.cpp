#include "tools/cli/RecordingBuilder.h"

#include "tools/cli/RecordingStream.h"

namespace RecordingBuilder {

bool build(const InputSignals &input, Recording *recording, QString *error) {
    *recording = Recording();
    const std::unique_ptr<RecordingStream> stream =
        RecordingStream::open(std::make_unique<InputSignalsReader>(input), error);
    return stream && stream->readAll(recording, error);
}

}  // namespace RecordingBuilder
