#include "analysis/DecimatingFirStage.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kChunk = 1024;

int checkedFactor(int factor) {
    if (factor != 1 && factor != 2) throw std::invalid_argument("Decimation factor must be 1 or 2");
    return factor;
}

}  // namespace

DecimatingFirStage::DecimatingFirStage(SignalSource &input, SignalBuffer &output, const double *taps, int length,
                                       int factor)
    : StreamStage(input), output_(output), kernel_(taps, length), factor_(checkedFactor(factor)),
      next_(ceilDiv(startPosition(), factor)),
      history_(input.channelCount(), windowBegin(next_), startPosition(), length - 1 + 2 * factor + kChunk) {
    if (output.channelCount() != input.channelCount()) throw std::invalid_argument("Channel counts differ");
    output.startAt(next_);
    results_.assign(static_cast<std::size_t>(input.channelCount()) * history_.capacity(), 0.0);
    for (int c = 0; c < input.channelCount(); ++c)
        rows_.push_back(&results_[static_cast<std::size_t>(c) * history_.capacity()]);
}

DecimatingFirStage::DecimatingFirStage(SignalSource &input, SignalBuffer &output, const FirTable &table, int factor)
    : DecimatingFirStage(input, output, table.taps, table.length, factor) {}

void DecimatingFirStage::process() {
    if (factor_ == 1)
        processCopy();
    else
        processFiltered();
}

void DecimatingFirStage::processCopy() {
    const std::int64_t end = input().length();
    while (next_ < end) {
        const int n = static_cast<int>(std::min<std::int64_t>(end - next_, kChunk));
        for (int c = 0; c < input().channelCount(); ++c) input().readRange(c, next_, n, rows_[c]);
        next_ += n;
        output_.append(n, rows_.data());
    }
}

void DecimatingFirStage::processFiltered() {
    const std::int64_t end = input().length();
    const int half = kernel_.length() / 2;
    while (history_.end() < end) {
        const std::int64_t held = history_.extend(input(), end);
        // Output m is produced once factor * m < held - (L/2 + factor).
        const std::int64_t available = std::max(next_, ceilDiv(held - half - factor_, factor_));
        const int n = static_cast<int>(available - next_);
        if (n > 0) {
            for (int c = 0; c < input().channelCount(); ++c)
                kernel_.run(history_.at(c, windowBegin(next_)), n, factor_, rows_[c]);
            next_ = available;
            output_.append(n, rows_.data());
        }
        history_.dropBefore(windowBegin(next_));
    }
}
