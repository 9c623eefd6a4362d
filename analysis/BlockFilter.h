#pragma once
// A filter that computes one block of a stored signal from that block and its
// two neighbours; the review chain's wrappers apply them on every read.

#include <cstdint>

// The input of one block computation: up to three consecutive blocks of one
// channel, each possibly absent (before the start or past the end).
struct BlockWindow {
    const std::int16_t *previous = nullptr;
    const std::int16_t *current = nullptr;
    const std::int16_t *next = nullptr;
    int n = 0;                      // block size
    std::int64_t block = 0;         // index of the current block
    std::int64_t signalLength = 0;  // samples in the whole signal

    // x[i] for i in -n .. 2n-1: the virtual input sequence around the current
    // block; 0 where a block is absent and outside that range.
    double at(std::int64_t i) const;
    // x[i] for i in lo .. hi-1 into destination[i] (destination is indexed
    // by i, so it may point into the middle of an array).
    void copyTo(double *destination, std::int64_t lo, std::int64_t hi) const;
};

class BlockFilter {
public:
    virtual ~BlockFilter() = default;
    // Writes the n filtered samples of the current block to `out`.
    virtual void apply(const BlockWindow &window, std::int16_t *out) const = 0;
    // The same for `count` windows of equal size (the same block of several
    // channels), each result exactly as apply() gives it. A filter whose
    // work is a chain of dependent steps runs the channels side by side.
    virtual void applyGroup(const BlockWindow *windows, int count, std::int16_t *const *outs) const;
};
