#pragma once
// An input file read a block at a time: what InputSignals describes (source,
// files, rate, leads and warnings) is known once it is open, and the samples
// come in blocks, so memory stays flat whatever the length of the recording.

#include "tools/cli/InputSignals.h"

#include <memory>
#include <vector>

class SignalBlockReader {
public:
    virtual ~SignalBlockReader() = default;

    // Leads carry their names and channels; their sample vectors stay empty.
    const InputSignals &description() const { return description_; }
    // The same, open to renaming its leads before any block is read.
    InputSignals &leadsDescription() { return description_; }
    // Frames the input holds, known before any is read.
    std::int64_t length() const { return length_; }

    // Reads the next frames, at most `frames`, into `block` (one vector per
    // lead, resized to the frames read); returns how many, 0 at the end.
    // Throws std::runtime_error with a message naming the file when the
    // input cannot be read as described.
    virtual std::int64_t read(std::int64_t frames, std::vector<std::vector<double>> &block) = 0;

    // The whole input at once, for callers that want every sample.
    bool readAll(InputSignals *out, QString *error);

protected:
    InputSignals description_;
    std::int64_t length_ = 0;
};

// Hands out leads already in memory, as if read from a file.
class InputSignalsReader : public SignalBlockReader {
public:
    explicit InputSignalsReader(InputSignals input);
    std::int64_t read(std::int64_t frames, std::vector<std::vector<double>> &block) override;

private:
    InputSignals input_;
    std::int64_t position_ = 0;
};
