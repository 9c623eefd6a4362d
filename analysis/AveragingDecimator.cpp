#include "analysis/AveragingDecimator.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kChunk = 1024;  // outputs per pass

int checkedFactor(int factor) {
    if (factor < 1) throw std::invalid_argument("Averaging factor must be at least 1");
    return factor;
}

}  // namespace

AveragingDecimator::AveragingDecimator(SignalSource &input, SignalBuffer &output, int factor)
    : StreamStage(input), output_(output), factor_(checkedFactor(factor)), next_(ceilDiv(startPosition(), factor)) {
    if (output.channelCount() != input.channelCount()) throw std::invalid_argument("Channel counts differ");
    output.startAt(next_);
    inputs_.assign(static_cast<std::size_t>(factor) * kChunk, 0.0);
    results_.assign(static_cast<std::size_t>(input.channelCount()) * kChunk, 0.0);
    for (int c = 0; c < input.channelCount(); ++c) rows_.push_back(&results_[static_cast<std::size_t>(c) * kChunk]);
}

void AveragingDecimator::process() {
    // Output m is produced once F * m < input length - F.
    const std::int64_t available = ceilDiv(input().length() - factor_, factor_);
    while (next_ < available) {
        const int n = static_cast<int>(std::min<std::int64_t>(available - next_, kChunk));
        for (int c = 0; c < input().channelCount(); ++c) {
            input().readRange(c, factor_ * next_, factor_ * n, inputs_.data());
            const double *x = inputs_.data();
            for (int m = 0; m < n; ++m, x += factor_) {
                double sum = 0.0;
                for (int i = 0; i < factor_; ++i) sum += x[i];
                rows_[c][m] = sum / factor_;  // narrowed by the buffer: toward zero
            }
        }
        next_ += n;
        output_.append(n, rows_.data());
    }
}
