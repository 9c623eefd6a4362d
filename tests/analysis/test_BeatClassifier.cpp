// The beat classification driven by hand-built fused detections over a
// synthetic analysis feed whose leads are strong, flat (weak) or clipped.
#include "analysis/BeatClassifier.h"
#include "analysis/SignalBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 250;

enum Lead { S, W, C, B };  // strong, weak (flat), clipped, strong with a burst

// Where a B lead swings ten times as wide as a strong one, for 0.1 s.
constexpr int kBurst = 5000;

// Keeps each emitted beat and how many beats the store held by then.
struct Collector : BeatListener {
    explicit Collector(const BeatStore &s) : store(s) {}
    void beatEmitted(const BeatRecord &beat) override {
        beats.push_back(beat);
        storeCounts.push_back(store.count());
    }
    const BeatStore &store;
    std::vector<BeatRecord> beats;
    std::vector<std::int64_t> storeCounts;
};

// 120 s of feed and a classifier over it. Strong leads carry a 9 Hz wave
// well above the amplitude limit, as active within any 0.12 s as within any
// other, so no lead reads as flat at a beat; clipped ones swing wide but are
// cut flat beyond half scale four times a second.
class Rig {
public:
    explicit Rig(const std::vector<Lead> &leads, double start = 0.0, double end = 0.0)
        : feed_(4096, 81920, static_cast<int>(leads.size()), kRate),
          classifier(feed_, static_cast<int>(leads.size()), start, end), collector(classifier.store()) {
        const int length = 120 * kRate;
        std::vector<std::vector<double>> x(leads.size(), std::vector<double>(length, 0.0));
        std::vector<const double *> rows;
        for (std::size_t k = 0; k < leads.size(); ++k) {
            for (int n = 0; n < length && leads[k] != W; ++n) {
                const double swing = leads[k] == B && n >= kBurst && n < kBurst + 25 ? 3000.0 : 300.0;
                x[k][n] = leads[k] != C ? std::round(swing * std::sin(2.0 * kPi * 9.0 * n / kRate))
                                        : std::clamp(std::round(30000.0 * std::sin(2.0 * kPi * 4.0 * n / kRate)),
                                                     -20000.0, 20000.0);
            }
            rows.push_back(x[k].data());
        }
        feed_.append(length, rows.data());
        classifier.addListener(&collector);
    }

    // A fused beat at sample n with a QRS in the leads listed (all if none).
    void beat(std::int64_t n, std::vector<int> seen = {}) {
        std::vector<LeadDetection> d(feed_.channelCount(), LeadDetection::absent(n));
        for (int k = 0; k < feed_.channelCount(); ++k) {
            if (!seen.empty() && std::find(seen.begin(), seen.end(), k) == seen.end()) continue;
            d[k].pPeak = n - 40;
            d[k].qPoint = n - 10;
            d[k].rPeak = n;
            d[k].sPoint = n + 10;
            d[k].tPeak = n + 80;
            d[k].pPolarity = d[k].qrsPolarity = d[k].tPolarity = 1;
        }
        classifier.acceptFusedBeat(d, std::vector<bool>(d.size(), true));
    }
    // `count` beats seen in every lead, `rr` samples apart; the last one's sample.
    std::int64_t rhythm(std::int64_t first, int count, int rr = 200) {
        for (int i = 0; i < count; ++i) beat(first + i * rr);
        return first + (count - 1) * rr;
    }
    const std::vector<BeatRecord> &beats() const { return collector.beats; }

private:
    SignalBuffer feed_;

public:
    BeatClassifier classifier;
    Collector collector;
};

std::vector<Lead> twelve(Lead limb, Lead v1to3, Lead v4to6, int bipolar = 0) {
    std::vector<Lead> l(6, limb);
    l.insert(l.end(), 3, v1to3);
    l.insert(l.end(), 3, v4to6);
    l.insert(l.end(), bipolar, S);
    return l;
}

TEST(BeatClassifier, QualityRatioCountsOnlyGoodLeads) {
    struct Case {
        const char *what;
        std::vector<Lead> leads;
        std::vector<int> seen;
        double q;  // 0: rejected
    };
    const Case cases[] = {
        // Twelve leads: limb leads weigh 1, V1-V3 5, V4-V6 10; threshold 0.3.
        {"limb leads only, V4-V6 weak: 6/21", twelve(S, S, W), {0, 1, 2, 3, 4, 5}, 0.0},
        {"limb leads and V1, V4-V6 weak: 11/21", twelve(S, S, W), {0, 1, 2, 3, 4, 5, 6}, 11.0 / 21.0},
        {"limb leads and V1, V4-V6 strong: 11/51", twelve(S, S, S), {0, 1, 2, 3, 4, 5, 6}, 0.0},
        {"limb leads only, V1-V6 weak: 6/6", twelve(S, W, W), {0, 1, 2, 3, 4, 5}, 1.0},
        {"V4-V6 with V1-V3 weak: 30/36", twelve(S, W, S), {9, 10, 11}, 30.0 / 36.0},
        {"every lead weak", twelve(W, W, W), {0, 1, 2}, 0.0},
        {"CM5 and CR5 take no part", twelve(S, S, S, 2), {12, 13}, 0.0},
        // Fewer leads: a plain share, threshold 0.2.
        {"1 of 3", {S, S, S}, {0}, 1.0 / 3.0},
        {"1 of 6", {S, S, S, S, S, S}, {2}, 0.0},
        {"1 of 5 good", {S, S, S, S, S, W}, {2}, 0.2},
        {"a QRS in a weak lead is no evidence", {S, W, S}, {1}, 0.0},
        // A single channel has nothing to be weighed against: taken as it is.
        {"one channel", {W}, {0}, 1.0},
    };
    for (const Case &c : cases) {
        Rig rig(c.leads);
        rig.beat(1000, c.seen);
        ASSERT_EQ(rig.beats().size(), c.q > 0.0 ? 1u : 0u) << c.what;
        if (c.q > 0.0) {
            EXPECT_NEAR(rig.beats()[0].quality(), c.q, 1e-12) << c.what;
        }
    }
}

TEST(BeatClassifier, ClippedAndWeakLeadsLoseTheirPoints) {
    Rig rig({S, C, W});
    rig.beat(1000);
    ASSERT_EQ(rig.beats().size(), 1u);
    const BeatRecord &b = rig.beats()[0];
    EXPECT_EQ(b.quality(), 1.0);
    EXPECT_EQ(b.leads[0].get(BeatRecord::RPeakTime), 4.0);
    for (int k : {1, 2}) {
        for (BeatRecord::LeadValue v : {BeatRecord::PPeakTime, BeatRecord::QPointTime, BeatRecord::RPeakTime,
                                        BeatRecord::SPointTime, BeatRecord::TPeakTime, BeatRecord::QrsSpan})
            EXPECT_FALSE(b.leads[k].hasValue(v)) << "lead " << k << " value " << v;
        EXPECT_EQ(b.leads[k].get(BeatRecord::QrsPolarity), 0.0) << k;
        EXPECT_EQ(b.leads[k].get(BeatRecord::LeadPresent), 1.0) << "still took part in the detection";
    }
}

TEST(BeatClassifier, IgnoresBeatsOutsideTheTimesOfInterestAndTooCloseToTheLast) {
    struct Case {
        const char *what;
        double start;
        double end;
        std::vector<std::int64_t> beats;
        std::vector<double> emitted;  // fiducial times
    };
    const Case cases[] = {
        {"before the start", 4.0, 0.0, {999, 1000}, {4.0}},
        {"after the end", 0.0, 8.0, {1800, 2000, 2001}, {7.2, 8.0}},
        // 0.2 s is 50 samples: a beat on the limit is rejected, using no index.
        {"0.2 s after the last", 0.0, 0.0, {1000, 1050, 1051}, {4.0, 4.204}},
    };
    for (const Case &c : cases) {
        Rig rig({S, S, S}, c.start, c.end);
        for (std::int64_t n : c.beats) rig.beat(n);
        ASSERT_EQ(rig.beats().size(), c.emitted.size()) << c.what;
        for (std::size_t i = 0; i < c.emitted.size(); ++i) {
            EXPECT_NEAR(rig.beats()[i].fiducialTime(), c.emitted[i], 1e-12) << c.what;
            EXPECT_EQ(rig.beats()[i].index, static_cast<int>(i)) << c.what;
        }
    }
}

TEST(BeatClassifier, MeanRrStaysZeroUntilFivePositiveIntervals) {
    Rig rig({S, S, S});
    std::int64_t n = 1000;
    rig.beat(n);
    for (int gap : {200, 225, 250, 175, 150, 200, 200}) rig.beat(n += gap);
    ASSERT_EQ(rig.beats().size(), 8u);
    const double rr[] = {0.0, 0.8, 0.9, 1.0, 0.7, 0.6, 0.8, 0.8};
    // Each mean leaves out the interval just pushed: beat 5 has the mean of
    // intervals 1-4, beat 6 of 1-5.
    const double mean[] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.85, 0.8, 0.8};
    for (int i = 0; i < 8; ++i) {
        const BeatRecord &b = rig.beats()[i];
        EXPECT_EQ(b.index, i);
        EXPECT_TRUE(b.normal);
        EXPECT_NEAR(b.rr(), rr[i], 1e-12) << i;
        EXPECT_NEAR(b.meanRr(), mean[i], 1e-12) << i;
        EXPECT_EQ(rig.collector.storeCounts[i], i + 1) << "stored before the listeners hear of it";
    }
}

TEST(BeatClassifier, SteadyRhythmKeepsItsMeanAndAChangeOfRateRestartsIt) {
    Rig rig({S, S, S});
    std::int64_t n = rig.rhythm(1000, 30);
    for (int i = 5; i < 30; ++i) EXPECT_NEAR(rig.beats()[i].meanRr(), 0.8, 1e-12) << "beat " << i;

    // 0.5 s is outside 0.7-1.4 of the mean: not pushed, so the mean holds for
    // three beats, then the history restarts from 0.5 s.
    for (int i = 0; i < 9; ++i) rig.beat(n += 125);
    ASSERT_EQ(rig.beats().size(), 39u);
    const double expected[] = {0.8, 0.8, 0.8, 0.0, 0.0, 0.0, 0.0, 0.5, 0.5};
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(rig.beats()[30 + i].meanRr(), expected[i], 1e-12) << 30 + i;
    EXPECT_NEAR(rig.classifier.meanRr(), 0.5, 1e-12);
}

TEST(BeatClassifier, EarlyBeatsSeenByFewLeadsAreRejectedOrHeld) {
    enum Outcome { Rejected, Held, Waiting, Normal };
    struct Case {
        const char *what;
        std::vector<Lead> leads;
        std::vector<int> seen;
        int early;  // samples after the last of eight beats 0.8 s apart
        Outcome outcome;
    };
    const Case cases[] = {
        // q = 0.5: rejected below 0.5 of the mean RR, premature below 0.75.
        {"q 0.5 at 0.45", {S, S, W}, {0}, 90, Rejected},
        {"q 0.5 at 0.55", {S, S, W}, {0}, 110, Held},
        {"q 0.5 at 0.70", {S, S, W}, {0}, 140, Held},
        // On time, a beat few leads saw waits for a rival.
        {"q 0.5 at 0.80", {S, S, W}, {0}, 160, Waiting},
        // q = 1/3: rejected below 0.6, premature below 0.85.
        {"q 0.33 at 0.55", {S, S, S}, {0}, 110, Rejected},
        {"q 0.33 at 0.70", {S, S, S}, {0}, 140, Held},
        {"q 0.33 at 0.84", {S, S, S}, {0}, 168, Held},
        {"q 0.33 at 0.90", {S, S, S}, {0}, 180, Waiting},
        // Seen well enough, timing alone does not make a beat premature.
        {"q 1 at 0.45", {S, S, S}, {}, 90, Normal},
    };
    for (const Case &c : cases) {
        Rig rig(c.leads);
        rig.beat(rig.rhythm(1000, 8) + c.early, c.seen);
        EXPECT_EQ(rig.classifier.hasHeldBeat(), c.outcome == Held) << c.what;
        EXPECT_EQ(rig.classifier.hasDoubtfulBeat(), c.outcome == Waiting) << c.what;
        EXPECT_EQ(rig.beats().size(), c.outcome == Normal ? 9u : 8u) << c.what;
    }
}

TEST(BeatClassifier, HeldBeatIsResolvedByTheBeatAfterIt) {
    struct Case {
        const char *what;
        int next;  // samples from the last normal beat
        int emitted;
        double rr;  // of the beat after the premature one
    };
    // The premature beat comes 140 samples (0.56 s) after the last normal
    // one. A pause of 1.7 to 4 mean RRs confirms it: it becomes the previous
    // beat and the next RR counts from it.
    const Case cases[] = {
        {"compensatory pause, 2 x mean", 400, 10, 260 / 250.0},
        {"pause of 3.9 x mean", 780, 10, 640 / 250.0},
        {"pause of 4.1 x mean", 820, 10, 820 / 250.0},
        {"interpolated, 1.5 x mean", 300, 10, 300 / 250.0},
        {"followed within 0.15 s: dropped", 177, 9, 177 / 250.0},
        {"followed after 0.152 s by a beat more leads saw: dropped", 178, 9, 178 / 250.0},
    };
    for (const Case &c : cases) {
        Rig rig({S, S, W});
        const std::int64_t last = rig.rhythm(1000, 8);
        rig.beat(last + 140, {0});
        ASSERT_TRUE(rig.classifier.hasHeldBeat()) << c.what;
        rig.beat(last + c.next);
        EXPECT_FALSE(rig.classifier.hasHeldBeat());
        ASSERT_EQ(static_cast<int>(rig.beats().size()), c.emitted) << c.what;
        if (c.emitted == 10) {
            const BeatRecord &premature = rig.beats()[8];
            EXPECT_EQ(premature.index, 8);
            EXPECT_FALSE(premature.normal) << c.what;
            EXPECT_NEAR(premature.rr(), 0.56, 1e-12);
        }
        const BeatRecord &after = rig.beats().back();
        EXPECT_EQ(after.index, c.emitted - 1);
        EXPECT_TRUE(after.normal);
        EXPECT_NEAR(after.rr(), c.rr, 1e-12) << c.what;
        EXPECT_EQ(rig.classifier.previousBeat()->index, c.emitted - 1);
    }
}

TEST(BeatClassifier, HeldBeatIsDroppedWhenTheNextBeatComesOnTime) {
    // Premature at 0.48 s after the last of eight beats 0.8 s apart; the next
    // beat within 10 % of the mean RR from that last beat shows the rhythm
    // never noticed the early one.
    const struct {
        int next;  // samples from the last normal beat
        bool premature;
    } cases[] = {{178, true}, {182, false}, {200, false}, {218, false}, {222, true}, {300, true}};
    for (const auto &c : cases) {
        Rig rig({S, S, W});
        const std::int64_t last = rig.rhythm(1000, 8);
        rig.beat(last + 120, {0});
        ASSERT_TRUE(rig.classifier.hasHeldBeat()) << c.next;
        rig.beat(last + c.next);
        EXPECT_FALSE(rig.classifier.hasHeldBeat());
        ASSERT_EQ(rig.beats().size(), c.premature ? 10u : 9u) << c.next;
        const BeatRecord &after = rig.beats().back();
        EXPECT_EQ(after.index, c.premature ? 9 : 8) << c.next;
        EXPECT_NEAR(after.rr(), c.next / 250.0, 1e-12) << c.next;
    }
}

TEST(BeatClassifier, OfTwoBeatsCloserThanTheRefractoryTimeTheBetterSeenStays) {
    // Twenty beats 0.8 s apart, the last at 4800; then a beat on time (5012,
    // inside lead 0's burst when lead 0 sees it) that only one lead saw, and
    // a rival 0.16 s after it. A beat few leads saw waits for its rival.
    const struct {
        const char *what;
        std::vector<Lead> leads;
        std::vector<int> firstSeen, rivalSeen;
        std::int64_t kept;  // 0: neither
    } cases[] = {
        {"the rival more leads saw", {S, S}, {0}, {}, 5052},
        {"the first seen in a burst, ten times its usual size", {B, S}, {0}, {1}, 5052},
        {"the rival seen in a burst", {S, B}, {0}, {1}, 5012},
    };
    for (const auto &c : cases) {
        Rig rig(c.leads);
        const std::int64_t last = rig.rhythm(1000, 20);
        ASSERT_EQ(last, 4800);
        rig.beat(5012, c.firstSeen);
        EXPECT_EQ(rig.beats().size(), 20u) << c.what;
        rig.beat(5052, c.rivalSeen);
        rig.beat(5212);  // settles whichever waits
        ASSERT_EQ(rig.beats().size(), 22u) << c.what;
        EXPECT_EQ(std::llround(rig.beats()[20].fiducialTime() * kRate), c.kept) << c.what;
        EXPECT_EQ(rig.beats()[20].index, 20);
        EXPECT_NEAR(rig.beats()[20].rr(), (c.kept - last) / 250.0, 1e-12) << c.what;
    }

    // A held premature beat meets a rival 0.152 s after it the same way: seen
    // by two leads of four, it outlives a rival only one saw.
    Rig rig({S, S, S, S});
    const std::int64_t last = rig.rhythm(1000, 8);
    rig.beat(last + 140, {0, 1});
    rig.beat(last + 178, {2});
    EXPECT_TRUE(rig.classifier.hasHeldBeat());
    rig.beat(last + 400);
    ASSERT_EQ(rig.beats().size(), 10u);
    EXPECT_EQ(std::llround(rig.beats()[8].fiducialTime() * kRate), last + 140);
    EXPECT_FALSE(rig.beats()[8].normal);
}

TEST(BeatClassifier, TheEndOfTheInputSettlesABeatStillWaitingForItsRival) {
    Rig rig({S, S});
    const std::int64_t last = rig.rhythm(1000, 20);
    rig.beat(last + 200, {0});  // on time, one lead of two: it waits
    ASSERT_TRUE(rig.classifier.hasDoubtfulBeat());
    EXPECT_EQ(rig.beats().size(), 20u);
    rig.classifier.finish();
    EXPECT_FALSE(rig.classifier.hasDoubtfulBeat());
    ASSERT_EQ(rig.beats().size(), 21u);
    EXPECT_EQ(std::llround(rig.beats().back().fiducialTime() * kRate), last + 200);
}

TEST(BeatClassifier, StopForgetsTheRhythmButKeepsTheStore) {
    Rig rig({S, S, W});
    const std::int64_t last = rig.rhythm(1000, 8);
    rig.beat(last + 140, {0});
    rig.classifier.stop();
    EXPECT_FALSE(rig.classifier.hasHeldBeat());
    EXPECT_FALSE(rig.classifier.previousBeatTime());
    EXPECT_EQ(rig.classifier.store().count(), 8);

    rig.beat(last + 300);
    const BeatRecord &b = rig.beats().back();
    EXPECT_EQ(b.index, 0);
    EXPECT_EQ(b.rr(), 0.0);
    EXPECT_EQ(*rig.classifier.previousBeatTime(), (last + 300) / 250.0);
}

}  // namespace

// A premature beat seen by every lead is emitted as normal; neither its short
// interval nor the compensatory pause after it may move the mean RR.
TEST(BeatClassifier, CompensatoryPauseAfterAnEarlyBeatLeavesTheMeanAlone) {
    Rig rig({S, S, S});
    std::int64_t n = rig.rhythm(1000, 30);  // 0.8 s apart
    ASSERT_NEAR(rig.classifier.meanRr(), 0.8, 1e-12);
    rig.beat(n += 130);  // 0.52 s: early, short of 0.7 of the mean
    rig.beat(n += 270);  // 1.08 s: the pause, inside 1.4 of the mean
    rig.beat(n += 200);
    EXPECT_NEAR(rig.classifier.meanRr(), 0.8, 1e-12);
}
