#include "analysis/BeatAnalyzer.h"

#include "analysis/SignalSource.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Beyond the lag, a run waits for this much new signal (seconds).
constexpr double kMinimumStep = 0.2;
// Detection goes on this long past the end time so its last beats are confirmed.
constexpr double kEndOverrun = 2.0;

}  // namespace

BeatAnalyzer::BeatAnalyzer(FusedBeatSink &sink) : sink_(sink) {}

BeatAnalyzer::~BeatAnalyzer() = default;

void BeatAnalyzer::start(SignalSource &source, double startTime, double endTime) {
    stop();
    if (source.samplingRate() <= 0) throw std::invalid_argument("The analysis feed needs a sampling rate");
    rate_ = source.samplingRate();
    // The rings must hold, behind the newest sample, the look-ahead lag, the
    // four seconds of threshold energy and an interval of up to three seconds
    // for the search-back and the wave search, with room for long ticks.
    scales_ = std::make_unique<WaveletScales>(source, 16 * rate_);
    processed_ = std::max(scales_->startPosition(), static_cast<std::int64_t>(std::llround(startTime * rate_)));
    end_ = endTime > 0.0 ? static_cast<std::int64_t>(std::llround((endTime + kEndOverrun) * rate_)) : 0;
    const int leads = std::min(source.channelCount(), kMaxLeads);
    for (int k = 0; k < leads; ++k) {
        detectors_.push_back(std::make_unique<LeadDetector>(k, rate_));
        detectors_.back()->begin(processed_);
    }
    fusion_ = std::make_unique<LeadFusion>(leads, rate_);
    source_ = &source;
}

void BeatAnalyzer::stop() {
    source_ = nullptr;
    if (fusion_) fusion_->clear();
    fusion_.reset();
    detectors_.clear();
    scales_.reset();
}

void BeatAnalyzer::finish() {
    if (!source_) return;
    scales_->process();
    // Every scale sample that can be computed is final now; what lies past
    // them reads as flat, which the mark search treats as no slope.
    std::int64_t last = scales_->available();
    if (end_ > 0) last = std::min(last, end_);
    if (last > processed_) analyse(last);
    for (auto &detector : detectors_) detector->finish(fusion_->queue(detector->lead()));
    fusion_->drain(sink_);
    stop();
}

void BeatAnalyzer::analyse(std::int64_t last) {
    // Should the rings have moved past the window's start (a very late run),
    // the lost stretch is skipped, keeping a second of held history for the
    // look-behind; a gap that long resets every detector.
    std::int64_t first = processed_;
    const std::int64_t oldest = scales_->firstHeld();
    if (oldest > 0) first = std::max(first, oldest + rate_);
    for (auto &detector : detectors_)
        detector->run(*scales_, std::min(first, last), last, fusion_->queue(detector->lead()));
    fusion_->run(sink_);
    processed_ = last;
}

void BeatAnalyzer::run() {
    if (!source_) return;
    const std::int64_t length = source_->length();
    // time(P) + L/R + 0.2 <= time(length)
    if (static_cast<double>(processed_) / rate_ + 1.0 + kMinimumStep > static_cast<double>(length) / rate_) return;
    std::int64_t last = length - lag();
    if (end_ > 0) last = std::min(last, end_);
    if (last <= processed_) return;

    scales_->process();
    analyse(last);
}
