#include "analysis/FirStage.h"

#include <stdexcept>

namespace {

// New input read per pass; bounds the history and the result rows.
constexpr int kChunk = 1024;

int checkedDelay(int delay, int length) {
    if (delay < 0 || delay >= length) throw std::invalid_argument("FIR delay outside the table");
    return delay;
}

}  // namespace

template <typename Sample>
BasicFirStage<Sample>::BasicFirStage(SignalSource &input, RingSignalBuffer<Sample> &output, const double *taps,
                                     int length, int delay)
    : StreamStage(input), output_(output), kernel_(taps, length), delay_(checkedDelay(delay, length)),
      history_(input.channelCount(), startPosition() - (length - 1 - delay), startPosition(), length - 1 + kChunk),
      next_(startPosition()) {
    if (output.channelCount() != input.channelCount()) throw std::invalid_argument("Channel counts differ");
    output.startAt(startPosition());
    results_.assign(static_cast<std::size_t>(input.channelCount()) * history_.capacity(), 0.0);
    for (int c = 0; c < input.channelCount(); ++c)
        rows_.push_back(&results_[static_cast<std::size_t>(c) * history_.capacity()]);
}

template <typename Sample>
BasicFirStage<Sample>::BasicFirStage(SignalSource &input, RingSignalBuffer<Sample> &output, const FirTable &table)
    : BasicFirStage(input, output, table.taps, table.length, table.delay) {}

template <typename Sample>
void BasicFirStage<Sample>::process() {
    const std::int64_t end = input().length();
    while (history_.end() < end) {
        const std::int64_t held = history_.extend(input(), end);
        const std::int64_t available = held - delay_;  // outputs below this index are complete
        const int n = static_cast<int>(available - next_);
        if (n > 0) {
            for (int c = 0; c < input().channelCount(); ++c)
                kernel_.run(history_.at(c, next_ - lookBehind()), n, 1, rows_[c]);
            next_ = available;
            // The 16-bit buffer narrows each sum with SignalSource::toSample16:
            // truncated toward zero and saturated, never wrapped.
            output_.append(n, rows_.data());
        }
        history_.dropBefore(next_ - lookBehind());
    }
}

template class BasicFirStage<std::int16_t>;
template class BasicFirStage<double>;
