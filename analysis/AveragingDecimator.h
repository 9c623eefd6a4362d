#pragma once
// Reduces the rate of a stream by an integer factor F: output m is the mean
// of x[F*m .. F*m + F - 1], truncated toward zero (the beat analysis feed).

#include "analysis/SignalBuffer.h"
#include "analysis/StreamStage.h"

#include <cstdint>
#include <vector>

class AveragingDecimator : public StreamStage {
public:
    // `factor` >= 1; `output` must be empty, with the input's channel count,
    // and is started at the first output index (input start / F, rounded up).
    AveragingDecimator(SignalSource &input, SignalBuffer &output, int factor);

    int factor() const { return factor_; }
    SignalBuffer &output() const { return output_; }

    void process() override;

private:
    SignalBuffer &output_;
    int factor_;
    std::int64_t next_;  // index of the next output
    std::vector<double> inputs_;
    std::vector<double> results_;
    std::vector<double *> rows_;
};
