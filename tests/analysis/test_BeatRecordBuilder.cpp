// A beat record's window (from integer means of the sample positions) and
// its RR, the upper median of the per-lead R-to-R intervals.
#include "analysis/BeatRecordBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr double kRate = 250.0;
constexpr std::int64_t U = LeadDetection::kUnset;

LeadDetection points(std::int64_t p, std::int64_t q, std::int64_t r, std::int64_t s, std::int64_t t) {
    LeadDetection d = LeadDetection::absent(1000);
    d.pPeak = p;
    d.qPoint = q;
    d.rPeak = r;
    d.sPoint = s;
    d.tPeak = t;
    d.qrsPolarity = 1;
    return d;
}

TEST(BeatRecordBuilder, WindowRunsFromTheEarliestToTheLatestWaveFound) {
    struct Case {
        const char *what;
        std::vector<LeadDetection> leads;
        double start;
        double end;
    };
    const Case cases[] = {
        // Integer means: (1080 + 1091) / 2 = 1085 samples, not 1085.5.
        {"P and T",
         {points(960, 990, 1000, 1010, 1080), points(963, U, 1002, 1012, 1091)},
         961 / kRate - 0.05,
         1085 / kRate + 0.1},
        {"Q and S",
         {points(U, 990, 1000, 1010, U), points(U, 993, 1002, 1013, U)},
         991 / kRate - 0.1,
         1011 / kRate + 0.15},
        {"R only", {points(U, U, 1000, U, U), points(U, U, 1003, U, U)}, 1001 / kRate - 0.15, 1001 / kRate + 0.2},
        {"no point at all", {points(U, U, U, U, U), points(U, U, U, U, U)}, 4.0 - 0.2, 4.0 + 0.25},
    };
    for (const Case &c : cases) {
        const BeatRecord b = BeatRecordBuilder::build(c.leads, {true, true}, 2, 1000, kRate);
        EXPECT_NEAR(b.windowStart, c.start, 1e-12) << c.what;
        EXPECT_NEAR(b.windowLength, c.end - c.start, 1e-12) << c.what;
    }
}

BeatRecord withR(double fiducial, std::vector<double> rTimes) {
    BeatRecord b;
    b.values[BeatRecord::FiducialTime] = fiducial;
    for (std::size_t k = 0; k < rTimes.size(); ++k)
        if (rTimes[k] > 0.0) b.leads[k].set(BeatRecord::RPeakTime, rTimes[k]);
    return b;
}

TEST(BeatRecordBuilder, RrIsTheUpperMedianOfThePerLeadIntervals) {
    struct Case {
        const char *what;
        BeatRecord previous;
        BeatRecord beat;
        double rr;
    };
    const Case cases[] = {
        {"three leads", withR(1.0, {1.0, 1.0, 1.0}), withR(1.8, {1.80, 1.84, 1.76}), 0.80},
        {"four leads: the upper middle", withR(1.0, {1.0, 1.0, 1.0, 1.0}), withR(1.8, {1.76, 1.80, 1.84, 1.90}), 0.84},
        // Where the previous beat has no R, the fiducial interval stands in.
        {"previous lacks R", withR(1.0, {1.0, 0.0, 0.0}), withR(1.9, {1.80, 1.84, 1.86}), 0.90},
        {"leads without R here do not count", withR(1.0, {1.0, 1.0, 1.0}), withR(1.8, {1.70, 0.0, 0.0}), 0.70},
        {"non-positive intervals dropped", withR(1.0, {1.0, 1.9, 1.0}), withR(1.8, {1.8, 1.85, 0.0}), 0.8},
        {"none", withR(1.0, {1.0}), withR(1.8, {0.0}), 0.0},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(BeatRecordBuilder::rrInterval(c.beat, c.previous, 4), c.rr, 1e-12) << c.what;
}

}  // namespace
