#pragma once
// Finds the QRS complexes of one lead window by window: thresholds, marks on
// the wavelet scales and their pairing into beats, each accepted beat's waves
// located once the beat after it is known.

#include "analysis/CandidatePairing.h"
#include "analysis/DetectionThresholds.h"
#include "analysis/LeadDetection.h"
#include "analysis/MarkArray.h"
#include "analysis/MarkSearch.h"
#include "analysis/ScaleWindow.h"
#include "analysis/WavePointLocator.h"

#include <cstdint>
#include <deque>

class WaveletScales;

class LeadDetector : private CandidatePairing::Client {
public:
    LeadDetector(int lead, int rate);

    // Sets where the first window starts; forgets every beat and mark.
    void begin(std::int64_t position);

    // Analyses the window [first, last) (the scales must hold up to `last`
    // plus the look-ahead) and appends the detections it completes to `out`.
    void run(const WaveletScales &scales, std::int64_t first, std::int64_t last, std::deque<LeadDetection> &out);

    // The input ended: the last accepted beat, which no successor will bound,
    // is located as it is and appended to `out`. begin() starts anew.
    void finish(std::deque<LeadDetection> &out);

    // Samples past the window end the mark search looks at, so a QRS cut by
    // the end of a window is judged whole; the search reaches as far back.
    int lookAhead() const { return lookAhead_; }

    int lead() const { return lead_; }
    const CandidatePairing &pairing() const { return pairing_; }
    const DetectionThresholds &thresholds() const { return thresholds_; }

private:
    void searchBack(std::int64_t first, std::int64_t last) override;
    void accepted(std::int64_t fiducial, std::int64_t previous, double rrSeconds) override;
    void abandoned(std::int64_t previous) override;

    int lead_;
    int lookAhead_;
    MarkSearch search_;
    CandidatePairing pairing_;
    WavePointLocator locator_;
    ScaleEnergy energy_;
    ScaleWindow view_;
    MarkArray marks_;
    DetectionThresholds thresholds_;
    std::int64_t beforePrevious_ = LeadDetection::kUnset;
    std::deque<LeadDetection> *out_ = nullptr;  // during run()
};
