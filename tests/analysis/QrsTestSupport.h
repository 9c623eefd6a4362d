#pragma once
// Helpers of the QRS detector tests: a sink recording fused beats, synthetic
// leads built from bell-shaped waves, a tick-by-tick feeder and a one-to-one
// comparison of detected with true beat positions.

#include "analysis/BeatAnalyzer.h"
#include "analysis/SignalBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>
#include <vector>

namespace qrstest {

constexpr int kRate = 250;

struct FusedBeat {
    std::int64_t fiducial = 0;
    std::vector<LeadDetection> leads;
    std::vector<bool> present;
    int presentCount() const { return static_cast<int>(std::count(present.begin(), present.end(), true)); }
};

// Accepts every fused beat; the previous beat is the last one accepted.
class RecordingSink : public FusedBeatSink {
public:
    std::optional<double> previousBeatTime() const override {
        if (beats.empty()) return std::nullopt;
        return static_cast<double>(beats.back().fiducial) / kRate;
    }
    void acceptFusedBeat(const std::vector<LeadDetection> &detections, const std::vector<bool> &present) override {
        beats.push_back({detections.front().fiducial, detections, present});
    }
    std::vector<std::int64_t> fiducials() const {
        std::vector<std::int64_t> out;
        for (const auto &b : beats) out.push_back(b.fiducial);
        return out;
    }
    std::vector<FusedBeat> beats;
};

// A Gaussian bell of `amplitude` units and `width` s deviation, `offset` s from R.
struct Wave {
    double offset;
    double width;
    double amplitude;
};

// An upright R of height `r` with small q and s, P 150 ms before, T 260 ms after.
inline std::vector<Wave> normalBeat(double r) {
    return {{-0.020, 0.006, -0.08 * r},
            {0.0, 0.009, r},
            {0.020, 0.007, -0.25 * r},
            {-0.150, 0.020, 0.12 * r},
            {0.260, 0.040, 0.25 * r}};
}

inline void addBeat(std::vector<double> &lead, double seconds, const std::vector<Wave> &shape) {
    for (const Wave &w : shape) {
        const double centre = (seconds + w.offset) * kRate, sigma = w.width * kRate;
        const auto from = std::max<std::int64_t>(0, static_cast<std::int64_t>(centre - 6 * sigma));
        const auto to = std::min<std::int64_t>(static_cast<std::int64_t>(lead.size()) - 1,
                                               static_cast<std::int64_t>(centre + 6 * sigma) + 1);
        for (std::int64_t i = from; i <= to; ++i)
            lead[static_cast<std::size_t>(i)] += w.amplitude * std::exp(-0.5 * std::pow((i - centre) / sigma, 2));
    }
}

using Leads = std::vector<std::vector<double>>;

// `count` leads of `seconds`, each with `shape` at every time in `beats`.
inline Leads leadsWith(int count, double seconds, const std::vector<double> &beats, const std::vector<Wave> &shape) {
    Leads leads(static_cast<std::size_t>(count), std::vector<double>(static_cast<std::size_t>(seconds * kRate), 0.0));
    for (auto &lead : leads)
        for (double t : beats) addBeat(lead, t, shape);
    return leads;
}

inline std::vector<double> everyRr(double first, double rr, double last) {
    std::vector<double> out;
    for (double t = first; t < last; t += rr) out.push_back(t);
    return out;
}

// Appends `tick` samples at a time, running the analyzer after each append.
inline void feedInTicks(SignalBuffer &feed, BeatAnalyzer &analyzer, const Leads &leads, int tick) {
    const auto length = static_cast<std::int64_t>(leads.front().size());
    std::vector<const double *> rows(leads.size());
    for (std::int64_t at = 0; at < length; at += tick) {
        for (std::size_t c = 0; c < leads.size(); ++c) rows[c] = leads[c].data() + at;
        feed.append(static_cast<int>(std::min<std::int64_t>(tick, length - at)), rows.data());
        analyzer.run();
    }
}

// A fresh analyzer over `leads`; `inspect` sees it when the signal is in.
template <typename Inspect>
RecordingSink detect(const Leads &leads, int tick, Inspect inspect) {
    RecordingSink sink;
    SignalBuffer feed(4096, 81920, static_cast<int>(leads.size()), kRate);
    BeatAnalyzer analyzer(sink);
    analyzer.start(feed);
    feedInTicks(feed, analyzer, leads, tick);
    inspect(analyzer);
    return sink;
}
inline RecordingSink detect(const Leads &leads, int tick = 25) {
    return detect(leads, tick, [](const BeatAnalyzer &) {});
}

inline std::int64_t sampleOf(double seconds) { return static_cast<std::int64_t>(std::llround(seconds * kRate)); }

struct Agreement {
    int matched = 0;
    int missed = 0;  // true beats with no detection
    int extra = 0;   // detections with no true beat
    double sensitivity() const { return matched + missed == 0 ? 1.0 : double(matched) / (matched + missed); }
    double predictivity() const { return matched + extra == 0 ? 1.0 : double(matched) / (matched + extra); }
};

// Each true beat in [from, to) takes the nearest unused detection within
// `tolerance` samples; detections well inside [from, to) left over are extra.
inline Agreement compareBeats(const std::vector<std::int64_t> &truth, const std::vector<std::int64_t> &found,
                              std::int64_t tolerance, std::int64_t from, std::int64_t to) {
    Agreement a;
    std::vector<bool> used(found.size(), false);
    for (std::int64_t t : truth) {
        if (t < from || t >= to) continue;
        std::size_t best = found.size();
        for (std::size_t k = 0; k < found.size(); ++k)
            if (!used[k] && std::llabs(found[k] - t) <= tolerance &&
                (best == found.size() || std::llabs(found[k] - t) < std::llabs(found[best] - t)))
                best = k;
        if (best == found.size()) {
            ++a.missed;
        } else {
            used[best] = true;
            ++a.matched;
        }
    }
    for (std::size_t k = 0; k < found.size(); ++k)
        a.extra += !used[k] && found[k] >= from + tolerance && found[k] < to - tolerance;
    return a;
}

}  // namespace qrstest
