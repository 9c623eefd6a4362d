#pragma once
// Halves the rate of a stream behind an anti-alias low-pass (factor 2:
// output m = sum of h[j] * x[2m + L/2 - j]), or copies it unchanged (factor 1):
// the resampler in front of the live display feed.

#include "analysis/FirKernel.h"
#include "analysis/FirTables.h"
#include "analysis/SignalBuffer.h"
#include "analysis/StreamHistory.h"
#include "analysis/StreamStage.h"

#include <cstdint>
#include <vector>

class DecimatingFirStage : public StreamStage {
public:
    // `factor` is 1 or 2; `output` must be empty, with the input's channel
    // count, and is started at the first output index (input start / factor,
    // rounded up) so output m stays aligned with input factor * m.
    DecimatingFirStage(SignalSource &input, SignalBuffer &output, const double *taps, int length, int factor);
    DecimatingFirStage(SignalSource &input, SignalBuffer &output, const FirTable &table, int factor);

    int factor() const { return factor_; }
    SignalBuffer &output() const { return output_; }

    void process() override;

private:
    void processCopy();
    void processFiltered();
    // Input index of the oldest sample of output m's window.
    std::int64_t windowBegin(std::int64_t m) const {
        return factor_ * m + kernel_.length() / 2 - (kernel_.length() - 1);
    }

    SignalBuffer &output_;
    FirKernel kernel_;
    int factor_;
    std::int64_t next_;  // index of the next output
    StreamHistory history_;
    std::vector<double> results_;
    std::vector<double *> rows_;
};
