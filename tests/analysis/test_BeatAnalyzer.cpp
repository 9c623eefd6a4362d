// The analyzer around its lead detectors: the wavelet tables and streams,
// when a run happens, the same beats whatever the tick, when the first beat
// comes out, and a beat seen by only five of twelve leads.

#include "QrsTestSupport.h"
#include "analysis/WaveletTables.h"

#include <gtest/gtest.h>
#include <map>

using namespace qrstest;

namespace {

TEST(BeatAnalyzerWavelet, TablesFollowTheConvolutionRuleAndTheStreamsApplyThem) {
    const std::vector<std::vector<double>> leading{{-2, 2},
                                                   {-0.25, -0.75, -0.5, 0.5, 0.75, 0.25},
                                                   {-0.03125, -0.09375, -0.1875, -0.3125, -0.34375, -0.28125, -0.125,
                                                    0.125, 0.28125, 0.34375, 0.3125, 0.1875, 0.09375, 0.03125},
                                                   {-0.00390625, -0.01171875, -0.0234375}};
    // Small blocks: the rings must still hold the seconds the detector reads back.
    RecordingSink sink;
    SignalBuffer feed(25, 20000, 2, kRate);
    BeatAnalyzer analyzer(sink);
    analyzer.start(feed);
    EXPECT_GE(analyzer.scales().capacity(), 16 * kRate);
    std::mt19937 gen(5);
    std::uniform_int_distribution<int> value(-2000, 2000);
    Leads leads(2, std::vector<double>(3000));
    for (auto &lead : leads) std::generate(lead.begin(), lead.end(), [&] { return value(gen); });
    feedInTicks(feed, analyzer, leads, 40);

    const std::size_t lengths[] = {2, 6, 14, 30};
    for (int k = 1; k <= 4; ++k) {
        const std::vector<double> q = WaveletTables::taps(k);
        const int d = WaveletTables::delay(k);
        ASSERT_EQ(q.size(), lengths[k - 1]);
        EXPECT_EQ(d, static_cast<int>(q.size() / 2));
        for (std::size_t i = 0; i < q.size(); ++i) {
            if (i < leading[k - 1].size()) {
                EXPECT_DOUBLE_EQ(q[i], leading[k - 1][i]) << k << "/" << i;
            }
            EXPECT_DOUBLE_EQ(q[i], -q[q.size() - 1 - i]) << k << "/" << i;
        }
        for (std::int64_t m : {40, 777, 2500}) {  // y[m] = sum q[i] x[m + D - i]
            double expected = 0.0;
            for (std::size_t i = 0; i < q.size(); ++i) expected += q[i] * leads[1][static_cast<std::size_t>(m + d) - i];
            EXPECT_NEAR(analyzer.scales().scale(k).readValue(1, m), expected, 1e-9) << k << " at " << m;
        }
    }
}

TEST(BeatAnalyzerRun, RunsOnceAFifthOfASecondBeyondTheOneSecondLagHasArrived) {
    const std::pair<int, std::int64_t> steps[] = {{299, 0},  {1, 50},    {49, 50},  {1, 100},
                                                  {60, 160}, {100, 260}, {10, 260}, {1000, 1270}};
    RecordingSink sink;
    SignalBuffer feed(4096, 81920, 20, kRate);
    BeatAnalyzer analyzer(sink);
    analyzer.start(feed);
    EXPECT_EQ(analyzer.leadCount(), 16);  // at most sixteen leads
    std::vector<double> zeros(2000, 0.0);
    std::vector<const double *> rows(20, zeros.data());
    for (const auto &[append, processed] : steps) {
        feed.append(append, rows.data());
        analyzer.run();
        EXPECT_EQ(analyzer.processed(), processed) << "at length " << feed.length();
    }
}

TEST(BeatAnalyzerTicks, TheBeatsDoNotDependOnHowTheSignalArrives) {
    // Irregular intervals, so complexes fall across window ends in every way.
    std::mt19937 gen(17);
    std::uniform_real_distribution<double> rr(0.42, 1.3), noise(-15, 15);
    std::vector<double> beats;
    std::vector<std::int64_t> truth;
    for (double t = 0.7; t < 59.0; t += rr(gen)) beats.push_back(t), truth.push_back(sampleOf(t));
    Leads leads = leadsWith(1, 60.0, beats, normalBeat(900));
    for (double &v : leads[0]) v += noise(gen);
    std::vector<std::int64_t> reference;
    for (int tick : {25, 13, 37, 64, 100, 250, 1000}) {
        std::vector<std::int64_t> found = detect(leads, tick).fiducials();
        found.erase(std::remove_if(found.begin(), found.end(), [](std::int64_t f) { return f >= 55 * kRate; }),
                    found.end());
        const Agreement a = compareBeats(truth, found, 3, 0, 55 * kRate);
        EXPECT_EQ(a.missed + a.extra, 0) << "tick " << tick;
        if (reference.empty()) reference = found;
        EXPECT_EQ(found, reference) << "tick " << tick;
    }
}

TEST(BeatAnalyzerHandOff, AQrsIsQueuedWhenTheNextIsFoundAndFusedWhenTwoAreQueued) {
    const std::int64_t beats[] = {250, 450, 650};
    const Leads leads = leadsWith(1, 6.0, {1.0, 1.8, 2.6}, normalBeat(1000));
    RecordingSink sink;
    SignalBuffer feed(4096, 81920, 1, kRate);
    BeatAnalyzer analyzer(sink);
    analyzer.start(feed);
    // For the lead's latest beat: detections queued or fused by then.
    std::map<std::int64_t, std::size_t> reported;
    std::vector<const double *> row(1);
    for (std::int64_t at = 0; at < 5 * kRate; at += 25) {
        row[0] = leads[0].data() + at;
        feed.append(25, row.data());
        analyzer.run();
        const CandidatePairing &pairing = analyzer.detector(0).pairing();
        if (pairing.hasPrevious() && pairing.resets() == 0)
            reported[pairing.previous()] = analyzer.fusion().queue(0).size() + 10 * sink.beats.size();
    }
    ASSERT_EQ(reported.size(), 3u);
    auto it = reported.begin();
    for (std::size_t k = 0; k < 3; ++k, ++it) EXPECT_NEAR(static_cast<double>(it->first), beats[k], 3.0);
    // First found: nothing out. Second: the first queued. Third: the first fused.
    EXPECT_EQ((std::vector<std::size_t>{reported.begin()->second, std::next(reported.begin())->second,
                                        std::prev(reported.end())->second}),
              (std::vector<std::size_t>{0, 1, 11}));
}

int runsToFirstBeat(const Leads &leads) {
    RecordingSink sink;
    SignalBuffer feed(4096, 81920, static_cast<int>(leads.size()), kRate);
    BeatAnalyzer analyzer(sink);
    analyzer.start(feed);
    int runs = 0;
    for (; sink.beats.empty() && runs < 100; ++runs) {
        Leads tick;
        for (const auto &lead : leads) tick.emplace_back(lead.begin() + 50 * runs, lead.begin() + 50 * runs + 50);
        feedInTicks(feed, analyzer, tick, 50);
    }
    return runs;
}

TEST(BeatAnalyzerFusion, BeatsSeenInFiveOfTwelveLeadsWaitTwoRunsThenCountThoseFive) {
    const Leads all = leadsWith(12, 20.0, everyRr(1.0, 0.8, 19.0), normalBeat(1000));
    Leads five = all;
    for (int k = 5; k < 12; ++k) std::fill(five[k].begin(), five[k].end(), 0.0);  // flat: never a mark
    EXPECT_EQ(runsToFirstBeat(five), runsToFirstBeat(all) + 2);
    const RecordingSink sink = detect(five);
    ASSERT_GT(sink.beats.size(), 15u);
    for (const FusedBeat &beat : sink.beats) EXPECT_EQ(beat.presentCount(), 5);
}

}  // namespace
