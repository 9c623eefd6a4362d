#pragma once
// Live FIR stage: output m = sum of h[k] * x[m + D - k], written at the
// input's own index m as soon as the input holds sample m + D, so the output
// lags the input by D. FirStage narrows to 16 bits; DoubleFirStage keeps fractions.

#include "analysis/FirKernel.h"
#include "analysis/FirTables.h"
#include "analysis/SignalBuffer.h"
#include "analysis/StreamHistory.h"
#include "analysis/StreamStage.h"

#include <cstdint>
#include <vector>

template <typename Sample>
class BasicFirStage : public StreamStage {
public:
    // `output` must be empty, with the input's channel count; it is started
    // at the input's current length.
    BasicFirStage(SignalSource &input, RingSignalBuffer<Sample> &output, const double *taps, int length, int delay);
    BasicFirStage(SignalSource &input, RingSignalBuffer<Sample> &output, const FirTable &table);

    int tapCount() const { return kernel_.length(); }
    int delay() const { return delay_; }
    RingSignalBuffer<Sample> &output() const { return output_; }

    void process() override;

private:
    // How far the oldest sample of output m's window lies before m.
    int lookBehind() const { return kernel_.length() - 1 - delay_; }

    RingSignalBuffer<Sample> &output_;
    FirKernel kernel_;
    int delay_;
    StreamHistory history_;
    std::int64_t next_;  // index of the next output
    std::vector<double> results_;
    std::vector<double *> rows_;
};

using FirStage = BasicFirStage<std::int16_t>;
using DoubleFirStage = BasicFirStage<double>;

extern template class BasicFirStage<std::int16_t>;
extern template class BasicFirStage<double>;
