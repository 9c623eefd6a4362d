#include "analysis/FftBaselineStage.h"

#include <cmath>
#include <stdexcept>

namespace {

constexpr int kChunk = 1024;  // new input read per pass
constexpr int kResultRows = kChunk + FftBaselineStage::kHop;

}  // namespace

FftBaselineStage::FftBaselineStage(SignalSource &input, SignalBuffer &output)
    : StreamStage(input), output_(output), fft_(kWindow),
      history_(input.channelCount(), startPosition(), startPosition(), kWindow + kChunk), nextWindow_(startPosition()),
      re_(kWindow), im_(kWindow) {
    if (output.channelCount() != input.channelCount()) throw std::invalid_argument("Channel counts differ");
    output.startAt(startPosition() + kFirstKept);
    results_.assign(static_cast<std::size_t>(input.channelCount()) * kResultRows, 0.0);
    for (int c = 0; c < input.channelCount(); ++c)
        rows_.push_back(&results_[static_cast<std::size_t>(c) * kResultRows]);
}

void FftBaselineStage::process() {
    const std::int64_t end = input().length();
    while (history_.end() < end) {
        const std::int64_t held = history_.extend(input(), end);
        int produced = 0;
        for (; nextWindow_ + kWindow <= held; nextWindow_ += kHop, produced += kHop)
            for (int c = 0; c < input().channelCount(); ++c) filterWindow(c, nextWindow_, rows_[c] + produced);
        if (produced > 0) output_.append(produced, rows_.data());
        history_.dropBefore(nextWindow_);
    }
}

void FftBaselineStage::filterWindow(int channel, std::int64_t first, double *out) {
    // Scaled to about +-1 for the transform; the unscaled inverse multiplies
    // by 1024 and the final * 32 restores the sample units (2^-15 * 2^10 * 2^5).
    const double *x = history_.at(channel, first);
    for (int i = 0; i < kWindow; ++i) {
        re_[i] = x[i] * (1.0 / 32768.0);
        im_[i] = 0.0;
    }
    fft_.forward(re_.data(), im_.data());
    for (int bin : {0, 1, kWindow - 2, kWindow - 1}) re_[bin] = im_[bin] = 0.0;
    fft_.inverse(re_.data(), im_.data());
    for (int k = 0; k < kHop; ++k) out[k] = re_[kFirstKept + k] * 32.0;  // narrowed by the buffer
}
