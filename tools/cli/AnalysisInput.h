#pragma once
// Samples ready for the beat analysis: the channel table's channels present
// in a recording, at an analysis rate, handed over a block at a time.

#include <cstdint>
#include <vector>

class AnalysisInput {
public:
    virtual ~AnalysisInput() = default;

    // 250, 500 or 1000 samples/s.
    virtual int rate() const = 0;
    // Table indexes of the channels present, in table order.
    virtual const std::vector<int> &channels() const = 0;
    // Fills rows[k] (k in channels() order, resized to the frames given)
    // with at most `frames` frames; returns how many, 0 at the end. Throws
    // std::runtime_error when the samples cannot be had.
    virtual int read(int frames, std::vector<std::vector<std::int16_t>> &rows) = 0;
};
