#include "analysis/LeadDetector.h"

#include "analysis/WaveletScales.h"

#include <algorithm>

namespace {

// Extra scale samples around the marks: the widest neighbour test (4) plus slack.
constexpr int kNeighbourSlack = 8;
constexpr double kSearchBackFactor = 0.7;

}  // namespace

LeadDetector::LeadDetector(int lead, int rate)
    : lead_(lead),
      // Enough for a mark's removal to see every mark that can clear it: its
      // partners (150 ms) and same-sign rivals (200 ms), themselves found
      // from scale 2^4 extrema up to 100 ms away.
      lookAhead_(static_cast<int>(0.45 * rate)), search_(rate), pairing_(rate), locator_(rate), energy_(lead, 4 * rate),
      view_(lead) {}

void LeadDetector::begin(std::int64_t position) {
    pairing_.begin(position);
    beforePrevious_ = LeadDetection::kUnset;
    energy_.reset();
    view_.clear();
    marks_.cover(position, position);
}

void LeadDetector::run(const WaveletScales &scales, std::int64_t first, std::int64_t last,
                       std::deque<LeadDetection> &out) {
    thresholds_ = energy_.advance(scales, last);

    // The mark search covers the window widened by the look-ahead on both
    // sides: behind, so marks near its start see their partners again; ahead,
    // so a QRS cut by the window end is not judged by half its marks. Only
    // marks inside the window (and the pending one) are paired here.
    const std::int64_t searchFirst = first - lookAhead_;
    const std::int64_t searchLast = last + lookAhead_ - 1;
    std::int64_t markFirst = searchFirst - search_.reach();
    if (pairing_.hasPrevious()) markFirst = std::min(markFirst, pairing_.previous());
    if (pairing_.hasPending()) markFirst = std::min(markFirst, pairing_.pending());
    const std::int64_t markEnd = searchLast + search_.reach() + 1;
    std::int64_t viewFirst = markFirst - kNeighbourSlack;
    if (pairing_.hasPrevious())
        viewFirst = std::min(viewFirst, pairing_.previous() - locator_.lookBehind() - kNeighbourSlack);
    view_.cover(scales, viewFirst, markEnd + kNeighbourSlack);

    marks_.cover(markFirst, markEnd);
    marks_.clearAll();
    // The pending mark survived its own window's removals; it stays as it was.
    if (pairing_.hasPending()) marks_.set(pairing_.pending(), pairing_.pendingSign());
    search_.run(view_, thresholds_, searchFirst, searchLast, marks_);

    out_ = &out;
    pairing_.run(marks_, view_, first, last, *this);
    out_ = nullptr;
}

void LeadDetector::finish(std::deque<LeadDetection> &out) {
    out_ = &out;
    abandoned(pairing_.hasPrevious() ? pairing_.previous() : LeadDetection::kUnset);
    out_ = nullptr;
    pairing_.begin(pairing_.lastProcessed());
}

void LeadDetector::searchBack(std::int64_t first, std::int64_t last) {
    search_.run(view_, thresholds_.scaled(kSearchBackFactor), first, last, marks_);
}

void LeadDetector::accepted(std::int64_t fiducial, std::int64_t previous, double rrSeconds) {
    // A beat's waves are located once the next beat bounds them.
    if (LeadDetection::isSet(previous))
        out_->push_back(locator_.locate(view_, previous, beforePrevious_, fiducial, rrSeconds, thresholds_));
    beforePrevious_ = previous;
}

void LeadDetector::abandoned(std::int64_t previous) {
    // The beat before a gap waits for a successor that will not come; it is
    // reported as it is rather than lost.
    if (LeadDetection::isSet(previous))
        out_->push_back(
            locator_.locate(view_, previous, beforePrevious_, LeadDetection::kUnset, pairing_.meanRr(), thresholds_));
    beforePrevious_ = LeadDetection::kUnset;
}
