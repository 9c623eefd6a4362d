#pragma once
// In-memory ring of the most recent samples of every channel: the raw
// acquisition sink, the decimated feeds and the output of every stream stage.
// Sample i of a channel lives at position i modulo the capacity; samples
// older than length - capacity are gone and read as 0.

#include "analysis/SignalSource.h"

#include <cstdint>
#include <type_traits>
#include <vector>

template <typename Sample>
class RingSignalBuffer : public SignalSource {
    static_assert(std::is_same<Sample, std::int16_t>::value || std::is_same<Sample, double>::value,
                  "16-bit or double samples only");

public:
    RingSignalBuffer(int blockSize, int capacity, int channelCount, int samplingRate);

    int capacity() const { return capacity_; }
    // First absolute index still held.
    std::int64_t firstHeld() const { return length() > capacity_ ? length() - capacity_ : 0; }

    int readSample(int channel, std::int64_t index) const override;
    // The held value itself, without narrowing (doubles keep their fraction).
    double readValue(int channel, std::int64_t index) const;
    void readRange(int channel, std::int64_t first, int count, double *destination) const override;
    bool readBlock(int channel, std::int64_t block, std::int16_t *destination) const override;

    void append(int n, const std::int16_t *const *perChannel) override;
    void appendInterleaved16(const char *data, int byteLength) override;
    void append(int n, const double *const *perChannel) override;
    // Appends one frame (one sample per channel) without notifying; stream
    // stages call notify() once per batch of frames.
    void appendFrame(const Sample *frame);
    void notify() { notifyAppended(); }
    // Lets an empty buffer begin at absolute index `index` instead of 0, so a
    // stream stage's output index can equal its input index; the indexes
    // before it read as 0. Throws when samples were already appended.
    void startAt(std::int64_t index);

private:
    bool held(std::int64_t index) const { return index >= firstHeld() && index < length() && index >= 0; }
    Sample &at(int channel, std::int64_t index) {
        return rings_[static_cast<std::size_t>(channel) * capacity_ + static_cast<std::size_t>(index % capacity_)];
    }
    const Sample &at(int channel, std::int64_t index) const {
        return rings_[static_cast<std::size_t>(channel) * capacity_ + static_cast<std::size_t>(index % capacity_)];
    }
    static Sample fromDouble(double v);

    int capacity_;
    std::vector<Sample> rings_;  // channel-major, one ring of `capacity_` per channel
};

using SignalBuffer = RingSignalBuffer<std::int16_t>;
using DoubleSignalBuffer = RingSignalBuffer<double>;

extern template class RingSignalBuffer<std::int16_t>;
extern template class RingSignalBuffer<double>;
