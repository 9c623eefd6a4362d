#pragma once
// The four wavelet scale streams of the analysis feed, each a double FIR
// stage writing into its own ring; processed on demand by the detector.

#include "analysis/FirStage.h"
#include "analysis/SignalBuffer.h"
#include "analysis/WaveletTables.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class WaveletScales {
public:
    // Attaches to `source` at its current length. Each ring holds ten source
    // blocks, and never less than `minimumSamples`, so small blocks cannot
    // starve the detector's look-back.
    WaveletScales(SignalSource &source, int minimumSamples);
    ~WaveletScales();
    WaveletScales(const WaveletScales &) = delete;
    WaveletScales &operator=(const WaveletScales &) = delete;

    void process();

    // Scale k = 1..4.
    const DoubleSignalBuffer &scale(int k) const { return *buffers_[static_cast<std::size_t>(k - 1)]; }
    std::int64_t startPosition() const { return start_; }
    // One past the last index every scale holds.
    std::int64_t available() const;
    // First index every scale still holds.
    std::int64_t firstHeld() const;
    int capacity() const { return buffers_[0]->capacity(); }

private:
    std::int64_t start_;
    std::array<std::vector<double>, WaveletTables::kScaleCount> taps_;
    // Buffers first: destroyed after the stages that write them.
    std::array<std::unique_ptr<DoubleSignalBuffer>, WaveletTables::kScaleCount> buffers_;
    std::array<std::unique_ptr<DoubleFirStage>, WaveletTables::kScaleCount> stages_;
};
