#pragma once
// The recent input of a stream stage, per channel, as doubles in one
// contiguous run, so filter windows are plain arrays; slid to the front of
// its storage only when the free tail runs out.

#include <cstdint>
#include <vector>

class SignalSource;

class StreamHistory {
public:
    // Holds input indexes from `begin` on; those below `start` (where the
    // stage began reading) are zeros. `capacity` samples per channel at most.
    StreamHistory(int channelCount, std::int64_t begin, std::int64_t start, int capacity);

    std::int64_t begin() const { return begin_; }
    std::int64_t end() const { return begin_ + count_; }
    int capacity() const { return capacity_; }

    // Reads input samples from end() up to `upTo` (fewer when the storage is
    // full) and returns the new end.
    std::int64_t extend(const SignalSource &input, std::int64_t upTo);
    // Forgets the samples before `index` (at most up to end()).
    void dropBefore(std::int64_t index);
    // Points at sample `index` of a channel; the following samples up to
    // end() follow contiguously.
    const double *at(int channel, std::int64_t index) const {
        return &samples_[static_cast<std::size_t>(channel) * capacity_ + offset_ + (index - begin_)];
    }

private:
    void compact();

    int channelCount_;
    int capacity_;
    std::int64_t begin_;
    int offset_ = 0;  // storage position of begin_
    int count_ = 0;
    std::vector<double> samples_;  // channel-major, `capacity_` per channel
};
