#pragma once
// The multi-lead QRS detector of the analysis feed: wavelet scales, one
// LeadDetector per lead and the lead fusion, advanced once per engine tick
// with one second of look-ahead; fused beats go to a FusedBeatSink.

#include "analysis/FusedBeatSink.h"
#include "analysis/LeadDetector.h"
#include "analysis/LeadFusion.h"
#include "analysis/WaveletScales.h"

#include <cstdint>
#include <memory>
#include <vector>

class SignalSource;

class BeatAnalyzer {
public:
    static constexpr int kMaxLeads = 16;

    explicit BeatAnalyzer(FusedBeatSink &sink);
    ~BeatAnalyzer();
    BeatAnalyzer(const BeatAnalyzer &) = delete;
    BeatAnalyzer &operator=(const BeatAnalyzer &) = delete;

    // Attaches to `source` at its current length (0 when a recording starts)
    // and detects in its first 16 channels. A start time > 0 skips what comes
    // before it; an end time > 0 stops detection two seconds after it, enough
    // to confirm the beats up to it. Times are seconds from the source's start.
    void start(SignalSource &source, double startTime = 0.0, double endTime = 0.0);
    // Analyses what arrived since the last run once at least 0.2 s beyond the
    // one-second look-ahead is there; otherwise does nothing.
    void run();
    // The input ended (end of a file, Stop): analyses the rest of the source
    // without waiting for look-ahead that will not come, hands on every beat
    // still held by the lead detectors and the fusion, then stops.
    void finish();
    // Discards every queued detection and detaches from the source.
    void stop();

    bool running() const { return source_ != nullptr; }
    int leadCount() const { return static_cast<int>(detectors_.size()); }
    int rate() const { return rate_; }
    // Samples analysed so far (the end of the last window).
    std::int64_t processed() const { return processed_; }
    // The look-ahead lag L in samples.
    int lag() const { return rate_; }
    const LeadDetector &detector(int lead) const { return *detectors_[static_cast<std::size_t>(lead)]; }
    const LeadFusion &fusion() const { return *fusion_; }
    const WaveletScales &scales() const { return *scales_; }

private:
    // Runs every lead over [processed, last) and fuses what they report.
    void analyse(std::int64_t last);

    FusedBeatSink &sink_;
    SignalSource *source_ = nullptr;
    int rate_ = 0;
    std::int64_t processed_ = 0;
    std::int64_t end_ = 0;  // 0: no limit
    std::unique_ptr<WaveletScales> scales_;
    std::vector<std::unique_ptr<LeadDetector>> detectors_;
    std::unique_ptr<LeadFusion> fusion_;
};
