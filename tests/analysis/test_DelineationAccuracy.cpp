// Both average-beat delineations against the true wave times of clean beats
// built from the simulator's beat model, at a resting and a fast rate. At 110
// bpm the cycle is under 0.7 s, so the narrower P and T windows apply; much
// faster, the model's T runs past half a cycle after R and its P sits on the
// previous T, out of reach of those windows.
#include "analysis/AverageDelineation.h"
#include "analysis/RestingMeasurement.h"
#include "tools/sim/model/BeatMorphology.h"
#include "tools/sim/model/LeadSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <ostream>

namespace {

enum Lead { I = 0, II = 1, III = 2, aVF = 5, V4 = 9, V5 = 10, V6 = 11 };

struct Wave {
    double from, peak, to;  // seconds from R
};

struct Beat {
    std::vector<double> samples;
    int rate = 250;
    int r = 0;
    double rr = 0.0;
    Wave p, qrs, t;
    double at(double fromR) const { return r + fromR * rate; }
};

double leadValue(const BeatShape &shape, int lead, double t) {
    return dot(LeadSystem::leadVectors()[static_cast<std::size_t>(lead)], BeatMorphology::dipoleAt(shape, t));
}

double largestDeflection(const BeatShape &shape, int lead, double from, double to) {
    double best = from;
    for (double t = from; t <= to; t += 0.00005)
        if (std::fabs(leadValue(shape, lead, t)) > std::fabs(leadValue(shape, lead, best))) best = t;
    return best;
}

// One lead of a steady sinus rhythm averaged as the averager does: 0.8 s with
// R at 0.3 s and the mean removed, in 16-bit units, neighbouring beats included.
// The truth: P spans its bells (all before the QRS, which starts at shape time
// 0), the QRS ends at J, T spans its hump; peaks are the lead's largest values.
Beat sinusAverage(double heartRate, int rate, int lead) {
    const BeatShape shape = BeatMorphology::sinus(heartRate);
    Beat b{{}, rate, rate * 3 / 10, 60.0 / heartRate, {}, {}, {}};
    for (int i = 0; i < rate * 8 / 10; ++i) {
        double v = 0.0;
        for (int k = -2; k <= 2; ++k)
            v += leadValue(shape, lead, static_cast<double>(i - b.r) / rate - k * b.rr + shape.rPeak);
        b.samples.push_back(v * 65536.0 / 600.0);
    }
    const double mean =
        std::accumulate(b.samples.begin(), b.samples.end(), 0.0) / static_cast<double>(b.samples.size());
    for (double &v : b.samples) v -= mean;
    double pFrom = 0.0, pTo = -1.0;
    for (int w = 0; w < shape.waveCount; ++w) {
        const DipoleWave &wave = shape.waves[static_cast<std::size_t>(w)];
        if (wave.centre >= 0.0) continue;
        pFrom = std::min(pFrom, wave.centre - wave.halfWidth);
        pTo = std::max(pTo, wave.centre + wave.halfWidth);
    }
    const double r = shape.rPeak;
    b.p = {pFrom - r, largestDeflection(shape, lead, pFrom, pTo) - r, pTo - r};
    b.qrs = {-r, 0.0, shape.jPoint - r};
    b.t = {shape.tOnset - r, largestDeflection(shape, lead, shape.tOnset, shape.tEnd) - r, shape.tEnd - r};
    return b;
}

struct Case {
    double heartRate;
    int rate;
    int lead;
};
void PrintTo(const Case &c, std::ostream *os) { *os << c.heartRate << " bpm, " << c.rate << "/s, lead " << c.lead; }

std::vector<Case> cases(std::initializer_list<int> rates) {
    std::vector<Case> all;
    for (double hr : {75.0, 110.0})
        for (int rate : rates)
            for (int lead : {I, II, III, aVF, V4, V5, V6}) all.push_back({hr, rate, lead});
    return all;
}

// Markers P onset, P peak, P end, QRS onset, QRS end, T onset, T peak, T end
// in samples: peaks and QRS limits within 20 ms of the truth, P and T limits
// inside their waves (widened by 20 ms) on the proper side of the peak, all in order.
void expectWaves(const Beat &b, const std::array<int, 8> &m) {
    const double near[][2] = {{1, b.p.peak}, {3, b.qrs.from}, {4, b.qrs.to}, {6, b.t.peak}};
    for (const auto &[index, truth] : near)
        EXPECT_NEAR((m[static_cast<std::size_t>(index)] - b.at(truth)) / b.rate, 0.0, 0.020) << "marker " << index;
    const double inside[][3] = {
        {0, b.p.from, b.p.peak}, {2, b.p.peak, b.p.to}, {5, b.t.from, b.t.peak}, {7, b.t.peak, b.t.to}};
    for (const auto &[index, from, to] : inside) {
        EXPECT_GE(m[static_cast<std::size_t>(index)], b.at(from - 0.020)) << "marker " << index;
        EXPECT_LE(m[static_cast<std::size_t>(index)], b.at(to + 0.020)) << "marker " << index;
    }
    EXPECT_TRUE(std::is_sorted(m.begin(), m.end(), std::less_equal<int>()));
}

class AverageAccuracy : public ::testing::TestWithParam<Case> {};

TEST_P(AverageAccuracy, FindsTheModelsWaves) {
    const Beat b = sinusAverage(GetParam().heartRate, GetParam().rate, GetParam().lead);
    const AverageDelineation d = delineateAverage(b.samples, b.r, static_cast<int>(b.rr * b.rate));
    expectWaves(b, {d.pOnset, d.pPeak, d.pEnd, d.qrsOnset, d.qrsEnd, d.tOnset, d.tPeak, d.tEnd});
    EXPECT_TRUE(d.qrsOnset < d.r && d.r < d.qrsEnd);
    EXPECT_TRUE(d.q == 0 || (d.qrsOnset < d.q && d.q < d.r)) << d.q;
    EXPECT_TRUE(d.s == 0 || (d.r < d.s && d.s < d.qrsEnd)) << d.s;
}

INSTANTIATE_TEST_SUITE_P(ModelBeats, AverageAccuracy, ::testing::ValuesIn(cases({250})));

class RestingAccuracy : public ::testing::TestWithParam<Case> {};

TEST_P(RestingAccuracy, FindsTheModelsWaves) {
    const Beat b = sinusAverage(GetParam().heartRate, GetParam().rate, GetParam().lead);
    const RestingMarkers m = measureRest(b.samples, b.rate, b.r, b.rr * b.rate);
    expectWaves(b, {m.pOnset, m.pPeak, m.pEnd, m.qrsOnset, m.qrsEnd, m.tOnset, m.tPeak, m.tEnd});
}

INSTANTIATE_TEST_SUITE_P(ModelBeats, RestingAccuracy, ::testing::ValuesIn(cases({250, 500, 1000})));

}  // namespace
