// Average beats from synthetic recordings: R-peak alignment at 0.3 s, the
// choice of alignment lead, which beats are averaged, the 20-second window,
// the reference, and the averaging feed in front of it all.
#include "analysis/AverageBeatBuilder.h"
#include "analysis/AveragingFeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

namespace {

constexpr int kLeads = 3;

struct Bump {
    double time;  // s
    double amplitude;
};

// Lead 0 an upright QRS-like bump, lead 1 inverted at half size, lead 2 a
// third of it on a 500-unit offset the average must take out.
void appendBumps(SignalBuffer &buffer, const std::vector<Bump> &bumps, double seconds) {
    const int rate = buffer.samplingRate();
    const int length = static_cast<int>(seconds * rate);
    std::vector<std::vector<double>> x(kLeads, std::vector<double>(length));
    const double sigma = 0.012 * rate;
    for (int n = 0; n < length; ++n) {
        double s = 0.0;
        for (const Bump &b : bumps) {
            const double d = (n - b.time * rate) / sigma;
            if (std::fabs(d) < 10.0) s += b.amplitude * std::exp(-0.5 * d * d);
        }
        x[0][n] = std::round(s);
        x[1][n] = std::round(-0.5 * s);
        x[2][n] = std::round(500.0 + 0.3 * s);
    }
    std::vector<const double *> rows;
    for (const auto &r : x) rows.push_back(r.data());
    buffer.append(length, rows.data());
}

std::unique_ptr<SignalBuffer> recording(int rate, const std::vector<Bump> &bumps, double seconds = 30.0) {
    auto buffer = std::make_unique<SignalBuffer>(1000, 40 * rate, kLeads, rate);
    appendBumps(*buffer, bumps, seconds);
    return buffer;
}

BeatRecord beatAt(double time, double rr = 0.8, double meanRr = 0.8, std::vector<int> polarity = {1, -1, 1}) {
    BeatRecord b;
    b.valid = true;
    b.values = {time, rr, meanRr, 1.0};
    b.windowStart = time - 0.25;
    b.windowLength = 0.65;
    for (int k = 0; k < kLeads; ++k) {
        b.leads[k].set(BeatRecord::RPeakTime, time);
        b.leads[k].set(BeatRecord::QrsPolarity, polarity[k]);
    }
    return b;
}

// Ten beats 0.8 s apart from 1 s on, each with `amplitude`.
std::vector<Bump> rhythm(double amplitude = 2000.0) {
    std::vector<Bump> b;
    for (int i = 0; i < 10; ++i) b.push_back({1.0 + 0.8 * i, amplitude});
    return b;
}

int peakAt(const std::vector<double> &a) { return static_cast<int>(std::max_element(a.begin(), a.end()) - a.begin()); }

double sum(const std::vector<double> &a) { return std::accumulate(a.begin(), a.end(), 0.0); }

TEST(AverageBeatBuilder, PutsTheRPeakAtThreeTenthsOfASecond) {
    struct Case {
        int rate;
        int length;
        int r;
    };
    for (const Case &c : {Case{250, 200, 75}, Case{500, 400, 150}, Case{1000, 800, 300}}) {
        const auto raw = recording(c.rate, rhythm());
        AverageBeatBuilder builder(raw.get());
        for (const Bump &b : rhythm()) builder.addBeat(beatAt(b.time));
        EXPECT_EQ(builder.templateLength(), c.length);
        EXPECT_EQ(builder.rPosition(), c.r);
        EXPECT_EQ(builder.beatCount(), 10) << c.rate;
        EXPECT_NEAR(builder.meanRr(), 0.8, 1e-12);
        const std::vector<double> &lead0 = builder.average(0);
        ASSERT_EQ(static_cast<int>(lead0.size()), c.length);
        EXPECT_EQ(peakAt(lead0), c.r) << c.rate;
        // Each segment's own mean is taken out: the offset of lead 2 is gone.
        EXPECT_NEAR(sum(lead0), 0.0, 1e-6);
        EXPECT_NEAR(sum(builder.average(2)), 0.0, 1e-6);
        EXPECT_NEAR(builder.average(2)[c.r], 0.3 * lead0[c.r], 2.0);
        EXPECT_NEAR(builder.average(1)[c.r], -0.5 * lead0[c.r], 2.0);
    }
}

TEST(AverageBeatBuilder, AveragesOnlyBeatsNearTheMeanRr) {
    // Four regular beats of 2000 units and one test beat of 6000 units: the
    // average's peak shows whether the test beat went in.
    struct Case {
        const char *what;
        double rr;
        double meanRr;
        std::vector<int> polarity;
        bool included;
    };
    const Case cases[] = {
        {"regular", 0.8, 0.8, {1, -1, 1}, true},
        {"16% short", 0.67, 0.8, {1, -1, 1}, false},
        {"14% short", 0.69, 0.8, {1, -1, 1}, true},
        {"19% long", 0.95, 0.8, {1, -1, 1}, true},
        {"21% long", 0.97, 0.8, {1, -1, 1}, false},
        {"RR not above 0.2 s", 0.19, 0.2, {1, -1, 1}, false},
        {"RR not below 2 s", 2.05, 2.0, {1, -1, 1}, false},
        {"no mean RR yet", 0.8, 0.0, {1, -1, 1}, false},
        {"inverted in the alignment lead", 0.8, 0.8, {-1, -1, -1}, false},
    };
    for (const Case &c : cases) {
        std::vector<Bump> bumps = {{1.0, 2000}, {1.8, 2000}, {2.6, 2000}, {3.4, 2000}, {4.2, 6000}};
        const auto raw = recording(250, bumps, 10.0);
        AverageBeatBuilder builder(raw.get());
        for (int i = 0; i < 4; ++i) builder.addBeat(beatAt(bumps[i].time));
        builder.addBeat(beatAt(4.2, c.rr, c.meanRr, c.polarity));

        EXPECT_EQ(builder.alignmentLead(), 0) << c.what;
        EXPECT_EQ(builder.beatCount(), c.included ? 5 : 4) << c.what;
        EXPECT_NEAR(builder.meanRr(), c.included ? (3.2 + c.rr) / 5.0 : 0.8, 1e-12) << c.what;
        const double peak = builder.average(0)[75];
        EXPECT_GT(peak, c.included ? 2500.0 : 1800.0) << c.what;
        EXPECT_LT(peak, c.included ? 3000.0 : 2000.0) << c.what;
    }
}

TEST(AverageBeatBuilder, AlignsOnTheLeadWithMostUprightRPeaks) {
    struct Case {
        const char *what;
        std::vector<std::vector<int>> polarities;  // per beat, per lead
        int lead;
        int count;
    };
    const Case cases[] = {
        {"lead 0", {{1, -1, 1}, {1, -1, 1}}, 0, 2},
        {"tie between 1 and 2: the lower", {{-1, 1, 1}, {-1, 1, 1}}, 1, 2},
        {"lead 2 in more beats", {{-1, 1, 1}, {-1, -1, 1}, {-1, 0, 1}}, 2, 3},
        // Only the beats upright in the winning lead are averaged.
        {"lead 0 in two of three", {{1, -1, -1}, {1, -1, -1}, {-1, 1, 1}}, 0, 2},
        {"none upright", {{-1, -1, 0}, {0, -1, -1}}, 0, 0},
    };
    for (const Case &c : cases) {
        const auto raw = recording(250, rhythm(), 10.0);
        AverageBeatBuilder builder(raw.get());
        for (std::size_t i = 0; i < c.polarities.size(); ++i)
            builder.addBeat(beatAt(1.0 + 0.8 * i, 0.8, 0.8, c.polarities[i]));
        EXPECT_EQ(builder.alignmentLead(), c.lead) << c.what;
        EXPECT_EQ(builder.beatCount(), c.count) << c.what;
        if (c.count == 0) {
            for (int k = 0; k < kLeads; ++k)
                for (double v : builder.average(k)) ASSERT_EQ(v, 0.0) << c.what;
            EXPECT_EQ(builder.meanRr(), 0.0);
        }
    }
}

TEST(AverageBeatBuilder, KeepsTheBeatsOfTheLastTwentySeconds) {
    AverageBeatBuilder builder;
    struct Step {
        double windowStart;
        int listed;
    };
    const Step steps[] = {{0.0, 1}, {5.0, 2}, {10.0, 3}, {19.99, 4}, {20.0, 4}, {30.0, 3}, {60.0, 1}};
    for (const Step &s : steps) {
        BeatRecord b = beatAt(s.windowStart + 0.25);
        b.windowStart = s.windowStart;
        builder.addBeat(b);
        EXPECT_EQ(builder.listedBeats(), s.listed) << s.windowStart;
    }
    // With no source there is nothing to average.
    EXPECT_EQ(builder.beatCount(), 0);
    EXPECT_TRUE(builder.average(0).empty());
}

TEST(AverageBeatBuilder, ReferenceIsACopyTakenOnRequest) {
    std::vector<Bump> bumps = rhythm(2000.0);
    for (int i = 0; i < 5; ++i) bumps.push_back({10.0 + 0.8 * i, 4000.0});
    const auto raw = recording(250, bumps, 16.0);
    AverageBeatBuilder builder(raw.get());
    EXPECT_TRUE(builder.reference(0).empty());
    for (int i = 0; i < 10; ++i) builder.addBeat(beatAt(bumps[i].time));
    builder.takeReference();
    EXPECT_TRUE(builder.referenceTaken());
    const std::vector<double> reference = builder.reference(0);
    EXPECT_EQ(reference, builder.average(0));

    // Later, larger beats change the average, not the reference.
    for (int i = 10; i < 15; ++i) builder.addBeat(beatAt(bumps[i].time));
    EXPECT_EQ(builder.beatCount(), 15);
    EXPECT_GT(builder.average(0)[75], reference[75] + 400.0);
    EXPECT_EQ(builder.reference(0), reference);

    builder.reset(false);
    EXPECT_EQ(builder.beatCount(), 0);
    EXPECT_EQ(builder.average(0)[75], 0.0);
    EXPECT_EQ(builder.reference(0), reference);
    builder.reset(true);
    EXPECT_TRUE(builder.reference(0).empty());
    EXPECT_FALSE(builder.referenceTaken());

    // A single beat is shown as it is, however irregular.
    builder.setSingleBeat(beatAt(10.0, 0.4, 0.8, {-1, 1, -1}));
    EXPECT_EQ(builder.beatCount(), 1);
    EXPECT_EQ(builder.meanRr(), 0.4);
    EXPECT_EQ(builder.alignmentLead(), 1);
    EXPECT_EQ(peakAt(builder.average(0)), 75);
    // The bump less the segment's mean (its area over the 200 samples).
    EXPECT_NEAR(builder.average(0)[75], 4000.0 * (1.0 - 3.0 * std::sqrt(2.0 * 3.14159265358979) / 200.0), 1.0);

    builder.takeReference();
    const auto other = recording(500, rhythm(), 10.0);
    builder.setSource(other.get());
    EXPECT_EQ(builder.templateLength(), 400);
    EXPECT_EQ(builder.beatCount(), 0);
    EXPECT_TRUE(builder.reference(0).empty());
}

// Forwards to a recording and counts the reads of each lead.
class CountingSource : public SignalSource {
public:
    explicit CountingSource(const SignalSource &inner)
        : SignalSource(inner.channelCount(), inner.samplingRate(), inner.blockSize()),
          reads(static_cast<std::size_t>(inner.channelCount()), 0), inner_(inner) {
        setLength(inner.length());
    }
    int readSample(int channel, std::int64_t index) const override { return inner_.readSample(channel, index); }
    void readRange(int channel, std::int64_t first, int count, double *destination) const override {
        ++reads[static_cast<std::size_t>(channel)];
        inner_.readRange(channel, first, count, destination);
    }
    bool readBlock(int channel, std::int64_t block, std::int16_t *destination) const override {
        return inner_.readBlock(channel, block, destination);
    }
    void append(int, const std::int16_t *const *) override {}
    void appendInterleaved16(const char *, int) override {}
    void append(int, const double *const *) override {}

    mutable std::vector<int> reads;

private:
    const SignalSource &inner_;
};

TEST(AverageBeatBuilder, BuildsOnDemandOnlyTheLeadsAskedForWithTheSameValues) {
    const auto raw = recording(250, rhythm());
    CountingSource counted(*raw);
    AverageBeatBuilder eager(raw.get());
    AverageBeatBuilder lazy(&counted);
    lazy.setBuildLeadsOnDemand(true);
    const std::vector<Bump> beats = rhythm();
    for (std::size_t i = 0; i < beats.size(); ++i) {
        eager.addBeat(beatAt(beats[i].time));
        lazy.addBeat(beatAt(beats[i].time));
        EXPECT_EQ(lazy.beatCount(), eager.beatCount());
        // Lead 1 only, after every beat: the average follows each new beat.
        EXPECT_EQ(lazy.average(1), eager.average(1)) << "after beat " << i;
    }
    EXPECT_EQ(counted.reads, (std::vector<int>{0, 10 * 11 / 2, 0}));
    // Asking twice reads nothing more; the other leads come out equal too.
    EXPECT_EQ(lazy.average(1), eager.average(1));
    EXPECT_EQ(counted.reads[1], 55);
    for (int k : {0, 2}) EXPECT_EQ(lazy.average(k), eager.average(k)) << k;
    EXPECT_EQ(counted.reads, (std::vector<int>{10, 55, 10}));
    lazy.takeReference();
    eager.takeReference();
    for (int k = 0; k < kLeads; ++k) EXPECT_EQ(lazy.reference(k), eager.reference(k)) << k;
}

TEST(AverageBeatBuilder, BuildsEveryLeadBeforeALiveRingMovesOn) {
    // A ring of 12 s: once 20 s more have come in, the beats' samples are
    // gone, and a lead built only then would average other samples.
    SignalBuffer ring(1000, 12 * 250, kLeads, 250);
    appendBumps(ring, rhythm(), 10.0);
    AverageBeatBuilder builder(&ring);
    for (const Bump &b : rhythm()) builder.addBeat(beatAt(b.time));
    ASSERT_EQ(builder.beatCount(), 10);
    appendBumps(ring, {}, 20.0);
    EXPECT_GT(builder.average(2)[75], 500.0);
    EXPECT_LT(builder.average(1)[75], -900.0);
}

TEST(AveragingFeed, IsTheRawSignalThroughTheMuscleLowPass) {
    struct Case {
        int rate;
        int taps;
    };
    for (const Case &c : {Case{250, 62}, Case{500, 12}, Case{1000, 22}}) {
        SignalBuffer raw(1000, 40 * c.rate, kLeads, c.rate);
        AveragingFeed feed(raw);
        EXPECT_EQ(feed.tapCount(), c.taps) << c.rate;
        appendBumps(raw, rhythm(), 10.0);
        feed.process();
        AverageBeatBuilder builder(&feed.output());
        for (const Bump &b : rhythm()) builder.addBeat(beatAt(b.time));
        // The even-length tables centre half a sample late, so the R peak
        // straddles the samples before and at 0.3 s.
        const std::vector<double> &a = builder.average(0);
        const int r = builder.rPosition();
        EXPECT_TRUE(peakAt(a) == r || peakAt(a) == r - 1) << c.rate << ": " << peakAt(a);
        EXPECT_NEAR(a[r - 1], a[r], 0.02 * a[r]) << c.rate;
        EXPECT_GT(a[r], 1500.0) << c.rate;
    }
}

}  // namespace
