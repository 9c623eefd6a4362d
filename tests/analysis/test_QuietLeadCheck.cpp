// The leads' QRS activity references, and the classification's use of them:
// a beat one lead reports while another lead, good and usually showing clear
// complexes, is flat where the QRS would be.
#include "analysis/BeatClassifier.h"
#include "analysis/QuietLeadCheck.h"
#include "analysis/SignalBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 250;

TEST(QuietLeadCheck, JudgesAgainstTheMedianOfTheLastEightComplexes) {
    QuietLeadCheck check(2);
    EXPECT_EQ(check.reference(0), 0.0);
    EXPECT_FALSE(check.quiet(0, 0.0));
    EXPECT_FALSE(check.typical(0, 1.0));
    // 1..10: the first two have left the history; of 3..10 the upper middle is 7.
    for (int v = 1; v <= 10; ++v) check.record(0, v * 10.0);
    EXPECT_EQ(check.reference(0), 70.0);
    EXPECT_EQ(check.reference(1), 0.0);

    const struct {
        double activity;
        bool quiet, typical;
    } cases[] = {{0.0, true, false},  {20.9, true, false}, {21.0, false, false}, {48.9, false, false},
                 {49.0, false, true}, {70.0, false, true}, {100.0, false, true}, {100.1, false, false}};
    for (const auto &c : cases) {
        EXPECT_EQ(check.quiet(0, c.activity), c.quiet) << c.activity;
        EXPECT_EQ(check.typical(0, c.activity), c.typical) << c.activity;
        EXPECT_FALSE(check.quiet(1, c.activity));
    }
    check.clear();
    EXPECT_EQ(check.reference(0), 0.0);
}

// Two leads with clear complexes every 0.8 s; at the beat after the eighth,
// each lead shows what the case gives: its usual complex, a small blip, or
// nothing, on time or `early` samples before it. Only lead 1 reports that beat.
struct Shown {
    double lead0, lead1;  // amplitude of the complex there, in units
    int early = 0;
    bool fromThenOn = false;  // every later beat too, lead 0 never reporting one
};

void addComplex(std::vector<double> &lead, std::int64_t at, double amplitude) {
    for (std::int64_t i = at - 20; i <= at + 20; ++i)
        lead[static_cast<std::size_t>(i)] += amplitude * std::exp(-0.5 * std::pow((i - at) / 3.0, 2));
}

int beatsEmittedWith(const Shown &shown) {
    const int length = 30 * kRate;
    std::vector<std::vector<double>> x(2, std::vector<double>(length, 0.0));
    std::vector<std::int64_t> beats;
    for (std::int64_t n = 250; n + 250 < length; n += 200) beats.push_back(n);
    const std::size_t odd = 8;
    beats[odd] -= shown.early;
    const auto changed = [&](std::size_t b) { return b == odd || (shown.fromThenOn && b > odd); };
    for (std::size_t b = 0; b < beats.size(); ++b) {
        addComplex(x[0], beats[b], changed(b) ? shown.lead0 : 400.0);
        addComplex(x[1], beats[b], changed(b) ? shown.lead1 : -300.0);
    }
    SignalBuffer feed(4096, 81920, 2, kRate);
    std::vector<const double *> rows{x[0].data(), x[1].data()};
    feed.append(length, rows.data());
    BeatClassifier classifier(feed, 2);
    for (std::size_t b = 0; b < beats.size(); ++b) {
        std::vector<LeadDetection> d(2, LeadDetection::absent(beats[b]));
        for (int k = 0; k < 2; ++k) {
            if (changed(b) && k == 0) continue;
            d[k].rPeak = beats[b];
            d[k].qrsPolarity = k == 0 ? 1 : -1;
        }
        classifier.acceptFusedBeat(d, {true, true});
    }
    // Once lead 0 stays silent, the last beat waits for a rival that never comes.
    return classifier.emittedCount() + (classifier.hasDoubtfulBeat() ? 1 : 0);
}

TEST(QuietLeadCheck, ABeatAFlatGoodLeadContradictsIsRejectedUnlessItComesOnTimeWithAUsualComplex) {
    const struct {
        const char *what;
        Shown shown;
        int missing;
    } cases[] = {
        {"a blip in lead 1, lead 0 flat", {0.0, -60.0}, 1},
        {"lead 1's usual complex, lead 0 flat", {0.0, -300.0}, 0},
        {"a blip in lead 1, lead 0 shows its complex", {400.0, -60.0}, 0},
        {"a blip in lead 1, lead 0 at half its size", {200.0, -60.0}, 0},
        // At 0.6 of the RR the beat is premature: held, then emitted when
        // the next one comes, unless a flat lead contradicts it at all.
        {"early: lead 1's usual complex, lead 0 flat", {0.0, -300.0, 80}, 1},
        {"early: lead 1's usual complex, lead 0 shows its complex", {400.0, -300.0, 80}, 0},
        // Lead 0 fades for good while lead 1 halves: three beats are lost
        // before the references are taken afresh, none after.
        {"lead 0 fading, lead 1 halved", {100.0, -150.0, 0, true}, 3},
    };
    const int expected = beatsEmittedWith({400.0, -300.0});
    ASSERT_GT(expected, 30);
    for (const auto &c : cases) EXPECT_EQ(beatsEmittedWith(c.shown), expected - c.missing) << c.what;
}

}  // namespace
