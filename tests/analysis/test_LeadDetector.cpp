// One lead: candidate pairing on hand-placed marks (150 ms rules, the single
// search-back and its range, the three-second reset), the mark search against
// a literal reading of its rules, and the waves located for each beat.

#include "QrsTestSupport.h"
#include "analysis/CandidatePairing.h"
#include "analysis/MarkArray.h"
#include "analysis/MarkSearch.h"
#include "analysis/WaveletScales.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace qrstest;

namespace {

// Pairing with no scale values at hand: a beat at x is a mark pair at x -+ 4
// and its fiducial is their middle.
struct PairingRig : CandidatePairing::Client {
    PairingRig() {
        marks.cover(0, 20000);
        pairing.begin(0);
    }
    void beat(std::int64_t at) { marks.set(at - 4, -1), marks.set(at + 4, 1); }
    void run(std::int64_t first, std::int64_t last) { pairing.run(marks, scales, first, last, *this); }
    void searchBack(std::int64_t first, std::int64_t last) override {
        searches.push_back({first, last});
        if (hidden) beat(hidden);
    }
    void accepted(std::int64_t fiducial, std::int64_t previous, double) override {
        beats.push_back(fiducial);
        handedOn.push_back(previous);
    }
    void abandoned(std::int64_t previous) override { handedOn.push_back(previous); }

    MarkArray marks;
    ScaleWindow scales{0};
    CandidatePairing pairing{kRate};
    std::vector<std::pair<std::int64_t, std::int64_t>> searches;
    std::vector<std::int64_t> beats, handedOn;
    std::int64_t hidden = 0;  // a beat only a search-back finds
};

TEST(LeadDetectorPairing, OnlyOppositeMarksLessThan150msApartMakeACandidate) {
    const struct {
        int distance, firstSign, secondSign;
        bool candidate;
    } cases[] = {{8, -1, 1, true}, {8, 1, -1, true}, {37, -1, 1, true}, {38, -1, 1, false}, {8, 1, 1, false}};
    for (const auto &c : cases) {
        PairingRig rig;
        rig.marks.set(1000, c.firstSign), rig.marks.set(1000 + c.distance, c.secondSign);
        rig.run(0, 2000);
        EXPECT_EQ(rig.beats.size(), c.candidate ? 1u : 0u) << c.distance;
        // Otherwise the first mark goes and the second waits for a partner.
        EXPECT_EQ(rig.pairing.hasPending() && rig.pairing.pending() == 1000 + c.distance, !c.candidate);
    }
}

TEST(LeadDetectorPairing, ACandidateWithin150msOfThePreviousBeatIsRejected) {
    for (int offset : {25, 30, 37, 38}) {  // 120 ms is 30 samples
        PairingRig rig;
        rig.beat(1000), rig.beat(1000 + offset), rig.beat(1200);
        rig.run(0, 2000);
        const bool rejected = offset < 37.5;
        EXPECT_EQ(rig.pairing.rejected(), rejected ? 1 : 0) << offset;
        const std::vector<std::int64_t> accepted{1000, 1000 + offset, 1200};
        EXPECT_EQ(rig.beats, rejected ? std::vector<std::int64_t>({1000, 1200}) : accepted);
        // Each beat is handed on when the next is found; the first had none before it.
        EXPECT_EQ(rig.handedOn.front(), LeadDetection::kUnset);
    }
}

TEST(LeadDetectorPairing, AnIntervalOver1point4MeanRrIsSearchedBackExactlyOnce) {
    // Mean RR starts at 0.75 s: the limit is 1.05 s, 262.5 samples.
    const struct {
        std::int64_t next, hidden;
        std::vector<std::int64_t> beats;
    } cases[] = {
        {1262, 0, {1000, 1262}}, {1263, 0, {1000, 1263}}, {1900, 0, {1000, 1900}}, {1400, 1200, {1000, 1200, 1400}}};
    for (const auto &c : cases) {
        PairingRig rig;
        rig.beat(1000), rig.beat(c.next);
        rig.hidden = c.hidden;
        rig.run(0, 2000);
        EXPECT_EQ(rig.beats, c.beats) << c.next;
        const bool searched = c.next - 1000 > 262;
        ASSERT_EQ(rig.searches.size(), searched ? 1u : 0u) << c.next;
        // From p + 37.5 to s - 37.5 samples, rounded inwards.
        if (searched) {
            EXPECT_EQ(rig.searches[0], std::make_pair(std::int64_t{1038}, c.next - 38));
        }
    }
}

TEST(LeadDetectorPairing, ThreeQuietSecondsResetTheLeadAndHandOnTheBeatBeforeThem) {
    for (int quiet : {750, 751}) {  // samples from the last paired mark to the window
        PairingRig rig;
        rig.beat(1000), rig.beat(1200);
        rig.run(0, 1300);
        const std::int64_t next = 1204 + quiet;
        rig.beat(next + 100);
        rig.run(next, next + 200);
        const bool reset = quiet > 750;
        EXPECT_EQ(rig.pairing.resets(), reset ? 1 : 0);
        EXPECT_EQ(rig.pairing.searchBacks(), reset ? 0 : 1);  // no search across the silence
        // Either way the beat at 1200 is handed on: by the reset, or by its successor.
        std::vector<std::int64_t> handedOn{LeadDetection::kUnset, 1000, 1200};
        if (reset) handedOn.push_back(LeadDetection::kUnset);  // the first beat after the reset
        EXPECT_EQ(rig.handedOn, handedOn);
    }
}

TEST(LeadDetectorSignal, ASmallBeatInALongIntervalIsFoundOnlyByTheSearchBack) {
    // Beat 20 of a 0.8 s rhythm at 0.3 of the others is found directly; at 0.2
    // it lies between the thresholds and 70 % of them; at 0.12 below both.
    const struct {
        double scale;
        bool found;
        int searchBacks;
    } cases[] = {{0.3, true, 0}, {0.2, true, 1}, {0.12, false, 1}};
    for (const auto &c : cases) {
        std::vector<double> others = everyRr(1.0, 0.8, 29.0);
        const double small = others[20];
        others.erase(others.begin() + 20);
        Leads leads = leadsWith(1, 30.0, others, normalBeat(1000));
        addBeat(leads[0], small, normalBeat(1000 * c.scale));
        int searchBacks = -1;
        const RecordingSink sink =
            detect(leads, 25, [&](const BeatAnalyzer &a) { searchBacks = a.detector(0).pairing().searchBacks(); });
        std::vector<std::int64_t> truth;
        for (double t : others) truth.push_back(sampleOf(t));
        if (c.found) truth.push_back(sampleOf(small));
        std::sort(truth.begin(), truth.end());
        const Agreement a = compareBeats(truth, sink.fiducials(), 3, 0, sampleOf(27.0));
        EXPECT_EQ(a.missed + a.extra, 0) << c.scale;
        EXPECT_EQ(searchBacks, c.searchBacks) << c.scale;
    }
}

TEST(LeadDetectorSignal, ASilenceOverThreeSecondsLosesNoBeat) {
    std::vector<double> beats = everyRr(1.0, 0.8, 9.05);  // up to 9.0 s, then 4.4 s of nothing
    for (double t : everyRr(13.4, 0.8, 23.0)) beats.push_back(t);
    int resets = 0;
    const RecordingSink sink = detect(leadsWith(1, 25.0, beats, normalBeat(1000)), 25,
                                      [&](const BeatAnalyzer &a) { resets = a.detector(0).pairing().resets(); });
    std::vector<std::int64_t> truth;
    for (double t : beats) truth.push_back(sampleOf(t));
    const Agreement a = compareBeats(truth, sink.fiducials(), 3, 0, sampleOf(21.0));
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(a.missed + a.extra, 0);
}

TEST(LeadDetectorSignal, ASteepTWaveSoonAfterABeatIsNoBeatButASecondQrsIs) {
    // Wide ventricular beats every 1.2 s, each followed 0.28 s after its R by
    // a tall opposite T wave, or by a second complex of its own shape.
    const std::vector<Wave> ventricular{{-0.03, 0.012, -0.2 * 1500}, {0.0, 0.016, 1500}, {0.035, 0.014, -0.3 * 1500}};
    const std::vector<Wave> tallT{{0.28, 0.03, -900}};
    std::vector<Wave> twin = ventricular;
    for (Wave &w : twin) w.offset += 0.28;
    const struct {
        const char *what;
        std::vector<Wave> after;
        bool beat;
    } cases[] = {{"T wave", tallT, false}, {"second QRS", twin, true}};
    for (const auto &c : cases) {
        const std::vector<double> beats = everyRr(1.0, 1.2, 29.0);
        Leads leads = leadsWith(1, 30.0, beats, ventricular);
        for (double t : beats) addBeat(leads[0], t, c.after);
        const RecordingSink sink = detect(leads);
        std::vector<std::int64_t> truth;
        for (double t : beats) {
            truth.push_back(sampleOf(t));
            if (c.beat) truth.push_back(sampleOf(t + 0.28));
        }
        const Agreement a = compareBeats(truth, sink.fiducials(), 5, 0, sampleOf(27.0));
        EXPECT_EQ(a.missed, 0) << c.what;
        EXPECT_EQ(a.extra, 0) << c.what;
    }
}

TEST(LeadDetectorSignal, ABroadComplexWithAnEvenSlopeIsABeat) {
    // Ventricular beats as a lead opposite their focus shows them: a steep
    // fall, then a slow straight return to the baseline. The return holds
    // scales 2^2 and 2^3 level for several samples.
    const struct {
        double fall, rise;  // seconds
        double depth;       // units
    } cases[] = {{0.03, 0.12, 1500}, {0.04, 0.12, 1200}, {0.02, 0.10, 2500}};
    for (const auto &c : cases) {
        const std::vector<double> beats = everyRr(1.0, 1.1, 29.0);
        Leads leads = leadsWith(1, 30.0, {}, {});
        for (double t : beats) {
            const std::int64_t start = sampleOf(t), bottom = start + sampleOf(c.fall), end = bottom + sampleOf(c.rise);
            for (std::int64_t i = start; i < end; ++i)
                leads[0][static_cast<std::size_t>(i)] =
                    i < bottom ? -c.depth * static_cast<double>(i - start) / static_cast<double>(bottom - start)
                               : -c.depth * static_cast<double>(end - i) / static_cast<double>(end - bottom);
        }
        const RecordingSink sink = detect(leads);
        std::vector<std::int64_t> truth;
        for (double t : beats) truth.push_back(sampleOf(t + c.fall));
        const Agreement a = compareBeats(truth, sink.fiducials(), 10, 0, sampleOf(27.0));
        EXPECT_EQ(a.missed, 0) << c.fall << " " << c.rise;
        EXPECT_EQ(a.extra, 0) << c.fall << " " << c.rise;
    }
}

int signOf(int v) { return (v > 0) - (v < 0); }

bool extremum(const ScaleWindow &w, int k, std::int64_t i, int d) {
    const int v = w.at(k, i), a = w.at(k, i - d), b = w.at(k, i + d);
    return (v > a && v > b) || (v < a && v < b);
}

// Level with one neighbour and beyond the other also counts on scales 2^2 and 2^3.
bool flatTop(const ScaleWindow &w, int k, std::int64_t i, int d) {
    const int v = w.at(k, i), a = w.at(k, i - d), b = w.at(k, i + d);
    return extremum(w, k, i, d) || (v == a && (v > b || v < b)) || (v == b && (v > a || v < a));
}

// The mark rules as written, with a = 12, 0.15 R = 37 and b = 50 samples.
std::map<std::int64_t, int> ruleMarks(const ScaleWindow &w, const DetectionThresholds &t, std::int64_t first,
                                      std::int64_t last) {
    std::map<std::int64_t, int> marks, kept;
    for (std::int64_t n = first; n <= last; ++n) {
        if (std::abs(w.at(4, n)) < t.at(4) || !signOf(w.at(4, n)) || !extremum(w, 4, n, 2)) continue;
        for (std::int64_t j = n - 12; j <= n + 12; ++j) {
            if (signOf(w.at(3, j)) != signOf(w.at(4, n)) || std::abs(w.at(3, j)) < t.at(3)) continue;
            if (!flatTop(w, 3, j, 2) && !flatTop(w, 3, j, 3)) continue;
            for (std::int64_t k = j - 12; k <= j + 12; ++k)
                if (signOf(w.at(2, k)) == signOf(w.at(3, j)) && std::abs(w.at(2, k)) >= t.at(2) &&
                    (flatTop(w, 2, k, 2) || flatTop(w, 2, k, 3) || flatTop(w, 2, k, 4)))
                    marks[k] = signOf(w.at(2, k));
        }
    }
    for (const auto &[i, sign] : marks)
        for (const auto &[k, other] : marks)
            if (std::llabs(k - i) <= 37 && other == -sign) kept[i] = sign;
    for (auto j = kept.begin(); j != kept.end(); ++j)
        for (auto k = kept.begin(); j->second != 0 && k != kept.end(); ++k) {
            if (k == j || k->second != j->second || std::llabs(k->first - j->first) > 50) continue;
            (std::abs(w.at(3, j->first)) < std::abs(w.at(3, k->first)) ? j : k)->second = 0;
        }
    for (auto i = kept.begin(); i != kept.end();) i = i->second ? std::next(i) : kept.erase(i);
    return kept;
}

TEST(LeadDetectorMarks, TheSearchFindsExactlyTheMarksItsRulesGive) {
    const struct {
        unsigned seed;
        bool beats;
        double noise, thresholdFactor;
    } cases[] = {{1, true, 0, 1.0}, {2, true, 20, 1.0}, {3, true, 40, 0.3}, {4, false, 300, 1.0}, {5, false, 300, 0.1}};
    for (const auto &c : cases) {
        std::mt19937 gen(c.seed);
        std::uniform_real_distribution<double> gap(0.35, 1.1), height(200, 1500);
        std::vector<double> beats;
        for (double t = 0.5; c.beats && t < 11.5; t += gap(gen)) beats.push_back(t);
        Leads leads = leadsWith(1, 12.0, beats, normalBeat(height(gen)));
        std::normal_distribution<double> noise(0.0, c.noise + 1e-9);
        for (double &v : leads[0]) v += noise(gen);  // noise alone puts extrema at every distance
        SignalBuffer source(4096, 40960, 1, kRate);
        WaveletScales scales(source, 0);
        const double *row = leads[0].data();
        source.append(static_cast<int>(leads[0].size()), &row);
        scales.process();
        ScaleWindow view(0);
        view.cover(scales, 0, source.length());
        const DetectionThresholds t = ScaleEnergy(0, 4 * kRate).advance(scales, 8 * kRate).scaled(c.thresholdFactor);

        MarkArray marks;
        marks.cover(0, source.length());
        MarkSearch(kRate).run(view, t, 500, 2500, marks);
        std::map<std::int64_t, int> found;
        for (std::int64_t i = marks.next(-1, marks.end()); i != MarkArray::kNone; i = marks.next(i, marks.end()))
            found[i] = marks.at(i);
        const std::map<std::int64_t, int> expected = ruleMarks(view, t, 500, 2500);
        EXPECT_GT(expected.size(), 10u) << c.seed;
        EXPECT_EQ(found, expected) << c.seed;
    }
}

TEST(LeadDetectorWaves, RPeakIsTheSampleWhereTheComplexTurns) {
    // R a fraction of a sample after a sample instant, upright or inverted.
    for (double shift : {0.0, 0.2, 0.4, 0.6, 0.8})
        for (double height : {1000.0, -800.0, 150.0}) {
            Leads leads = leadsWith(1, 20.0, everyRr(1.0 + shift / kRate, 0.8, 19.5), normalBeat(height));
            for (double &v : leads[0]) v = std::round(v);
            const RecordingSink sink = detect(leads);
            ASSERT_GT(sink.beats.size(), 15u);
            for (const FusedBeat &beat : sink.beats) {
                const LeadDetection &d = beat.leads[0];
                const auto turn = std::max_element(leads[0].begin() + d.rPeak - 6, leads[0].begin() + d.rPeak + 7,
                                                   [&](double a, double b) { return (height > 0 ? a < b : a > b); });
                EXPECT_EQ(d.rPeak, turn - leads[0].begin()) << shift << " " << height;
                EXPECT_EQ(d.qrsPolarity, height > 0 ? 1 : -1);
                // The s wave 20 ms after R; P and T 150 ms before and 260 ms after.
                EXPECT_NEAR(static_cast<double>(d.sPoint - d.rPeak), 5.0, 2.0);
                EXPECT_NEAR(static_cast<double>(d.pPeak - d.rPeak), -37.5, 2.0);
                EXPECT_NEAR(static_cast<double>(d.tPeak - d.rPeak), 65.0, 2.0);
                EXPECT_EQ(d.pPolarity * d.tPolarity, 1);
                EXPECT_TRUE(d.qrsOnset < d.rPeak && d.rPeak < d.qrsOffset && d.qrsOffset < d.tOnset &&
                            d.tOnset < d.tPeak && d.tPeak < d.tOffset);
            }
        }
}

}  // namespace
