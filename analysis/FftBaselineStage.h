#pragma once
// Baseline removal by FFT: each 1024-sample window loses its lowest bins and
// contributes its middle 64 samples (window positions 480..543); windows
// advance by 64, so the stage speaks once per 64 input samples.

#include "analysis/RadixTwoFft.h"
#include "analysis/SignalBuffer.h"
#include "analysis/StreamHistory.h"
#include "analysis/StreamStage.h"

#include <cstdint>
#include <vector>

class FftBaselineStage : public StreamStage {
public:
    static constexpr int kWindow = 1024;
    static constexpr int kHop = 64;
    static constexpr int kFirstKept = 480;

    // `output` must be empty, with the input's channel count; it is started
    // at input start + 480, so output index m is taken from input index m.
    FftBaselineStage(SignalSource &input, SignalBuffer &output);

    SignalBuffer &output() const { return output_; }

    void process() override;

private:
    // Filters the window at `first` of one channel into kHop outputs.
    void filterWindow(int channel, std::int64_t first, double *out);

    SignalBuffer &output_;
    RadixTwoFft fft_;
    StreamHistory history_;
    std::int64_t nextWindow_;  // input index of the next window's first sample
    std::vector<double> re_, im_;
    std::vector<double> results_;
    std::vector<double *> rows_;
};
