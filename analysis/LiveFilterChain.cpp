#include "analysis/LiveFilterChain.h"

#include "analysis/FftBaselineStage.h"
#include "analysis/FirStage.h"
#include "analysis/FirTables.h"

LiveFilterChain::LiveFilterChain(SignalBuffer &input, const QString &notchOption, const QString &muscleOption,
                                 const QString &baselineOption)
    : input_(input), notchOption_(notchOption), muscleOption_(muscleOption), baselineOption_(baselineOption) {
    configure(false, false, false);
}

LiveFilterChain::~LiveFilterChain() { tearDown(); }

void LiveFilterChain::tearDown() {
    // Last stage first: each stage unregisters from the buffer before it,
    // which must still exist at that moment.
    while (!slots_.empty()) slots_.pop_back();
}

void LiveFilterChain::configure(bool notch, bool muscle, bool baseline) {
    tearDown();
    notchOn_ = notch;
    muscleOn_ = muscle;
    baselineOn_ = baseline;
    const int rate = input_.samplingRate();
    if (rate == 500) {
        const FirTable drift = FirTables::driftHighPass500();
        addFir(StageRole::DriftHighPass, drift.taps, drift.length, drift.delay);
    }
    if (notch)
        if (const auto table = FirTables::notch(notchOption_, rate))
            addFir(StageRole::LineNotch, table->taps, table->length, table->delay);
    if (muscle)
        if (const auto table = FirTables::muscle(muscleOption_, rate))
            addFir(StageRole::MuscleLowPass, table->taps, table->length, table->delay);
    if (baseline) {
        // Like the other switchable filters, neither baseline variant exists
        // at rates other than 250, 500 and 1000.
        const bool knownRate = rate == 250 || rate == 500 || rate == 1000;
        if (baselineOption_ == QLatin1String("fir")) {
            if (const auto table = FirTables::baseline(rate))
                addFir(StageRole::BaselineFir, table->taps, table->length, table->delay);
        } else if (baselineOption_ == QLatin1String("fft") && knownRate) {
            addFftBaseline();
        }
    }
}

SignalSource &LiveFilterChain::output() const {
    return slots_.empty() ? static_cast<SignalSource &>(input_) : *slots_.back().output;
}

std::vector<LiveFilterChain::StageInfo> LiveFilterChain::stages() const {
    std::vector<StageInfo> infos;
    for (const Slot &slot : slots_) infos.push_back(slot.info);
    return infos;
}

std::unique_ptr<SignalBuffer> LiveFilterChain::makeOutput() const {
    auto buffer = std::make_unique<SignalBuffer>(input_.blockSize(), input_.capacity(), input_.channelCount(),
                                                 input_.samplingRate());
    buffer->copyMetadataFrom(input_);  // range, bits, channel names
    return buffer;
}

void LiveFilterChain::addFir(StageRole role, const double *taps, int length, int delay) {
    Slot slot;
    slot.output = makeOutput();
    auto stage = std::make_unique<FirStage>(output(), *slot.output, taps, length, delay);
    stage->followInput();
    slot.stage = std::move(stage);
    slot.info = {role, length, delay};
    slots_.push_back(std::move(slot));
}

void LiveFilterChain::addFftBaseline() {
    Slot slot;
    slot.output = makeOutput();
    auto stage = std::make_unique<FftBaselineStage>(output(), *slot.output);
    stage->followInput();
    slot.stage = std::move(stage);
    slot.info = {StageRole::BaselineFft, FftBaselineStage::kWindow,
                 FftBaselineStage::kWindow - FftBaselineStage::kFirstKept - 1};
    slots_.push_back(std::move(slot));
}
