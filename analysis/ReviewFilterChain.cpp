#include "analysis/ReviewFilterChain.h"

#include "analysis/BlockFirFilter.h"
#include "analysis/BlockIirFilter.h"
#include "analysis/FirTables.h"
#include "analysis/LinearDetrend.h"

#include <stdexcept>

const char *const ReviewFilterChain::kUndefinedFilterError = "pendiente - filtro no definido";

namespace {

double meanOf(const SignalSource &signal, int channel, std::int64_t first, int count) {
    if (count <= 0) return 0.0;
    std::vector<double> values(static_cast<std::size_t>(count));
    signal.readRange(channel, first, count, values.data());
    double sum = 0.0;
    for (double v : values) sum += v;
    return sum / count;
}

}  // namespace

ReviewFilterChain::ReviewFilterChain(SignalSource &record, const QString &notchOption, const QString &muscleOption)
    : record_(record), notchOption_(notchOption), muscleOption_(muscleOption) {
    configure(false, false, false);
}

ReviewFilterChain::~ReviewFilterChain() { clear(); }

void ReviewFilterChain::clear() {
    // Downstream first: each view unregisters from the one before it.
    while (!stages_.empty()) stages_.pop_back();
    configured_ = false;
}

SignalSource &ReviewFilterChain::output() const { return stages_.empty() ? record_ : *stages_.back(); }

FilteredSignal &ReviewFilterChain::addStage(std::unique_ptr<BlockFilter> filter) {
    auto stage = std::make_unique<FilteredSignal>(output());
    if (filter) stage->setFilter(std::move(filter));
    stages_.push_back(std::move(stage));
    return *stages_.back();
}

void ReviewFilterChain::addDetrend() {
    // Removes the straight line from the mean of the first three seconds to
    // the mean of the last three (the middle point lies on that line).
    const int rate = record_.samplingRate();
    const std::int64_t n = record_.length();
    const int s = static_cast<int>(3 * rate + 0.5);
    FilteredSignal &stage = addStage(nullptr);
    const int channels = std::min(record_.channelCount(), kMaxChannels);
    for (int c = 0; c < channels; ++c) {
        const double m1 = meanOf(record_, c, 0, s);
        const double m2 = meanOf(record_, c, n - s, s);
        stage.setChannelFilter(c, std::make_unique<LinearDetrend>(s / 2, m1, static_cast<double>(n / 2), (m1 + m2) / 2,
                                                                  static_cast<double>(n - s / 2), m2));
    }
}

void ReviewFilterChain::configure(bool notch, bool muscle, bool baseline) {
    clear();
    const int rate = record_.samplingRate();
    addDetrend();
    if (rate == 500) addStage(std::make_unique<BlockIirFilter>(ReviewIir::driftHighPass500(), 2000, true, 1));
    if (notch && (rate == 1000 || rate == 500)) {
        if (notchOption_ != QLatin1String("50hz")) {
            clear();
            throw std::runtime_error(kUndefinedFilterError);
        }
        if (rate == 1000)
            addStage(std::make_unique<BlockIirFilter>(ReviewIir::notch1000(), 2000, true, 1));
        else
            addStage(std::make_unique<BlockIirFilter>(ReviewIir::notch500(), 500, true, 1));
    }
    if (muscle) {
        if (const auto table = FirTables::muscle(muscleOption_, rate))
            addStage(std::make_unique<BlockFirFilter>(table->taps, table->length, table->delay));
    }
    if (baseline) {
        if (rate == 1000)
            addStage(std::make_unique<BlockIirFilter>(ReviewIir::baseline1000(), 3000, true, 1));
        else if (rate == 500)
            addStage(std::make_unique<BlockIirFilter>(ReviewIir::baseline500(), 3000, true, 1));
    }
    configured_ = true;
}
