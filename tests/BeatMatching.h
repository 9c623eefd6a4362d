#pragma once
// One-to-one matching of detected beats to reference beats within a
// tolerance, for sensitivity and positive predictivity.

#include <cstdint>
#include <cstdlib>
#include <vector>

struct BeatMatch {
    int truePositives = 0;
    int falsePositives = 0;
    int falseNegatives = 0;
    std::vector<std::int64_t> missed;     // reference beats with no detection
    std::vector<std::int64_t> extra;      // detections with no reference beat
    std::vector<int> referenceMatchedBy;  // per reference beat: detection index or -1

    double sensitivity() const {
        const int n = truePositives + falseNegatives;
        return n ? static_cast<double>(truePositives) / n : 0.0;
    }
    double positivePredictivity() const {
        const int n = truePositives + falsePositives;
        return n ? static_cast<double>(truePositives) / n : 0.0;
    }
};

// Both lists ascending, in the same sample numbering. Each detection takes
// the nearest unmatched reference beat within `tolerance` samples.
inline BeatMatch matchBeats(const std::vector<std::int64_t> &reference, const std::vector<std::int64_t> &detected,
                            std::int64_t tolerance) {
    BeatMatch m;
    m.referenceMatchedBy.assign(reference.size(), -1);
    std::size_t lo = 0;
    for (std::size_t d = 0; d < detected.size(); ++d) {
        while (lo < reference.size() && reference[lo] < detected[d] - tolerance) ++lo;
        int best = -1;
        for (std::size_t r = lo; r < reference.size() && reference[r] <= detected[d] + tolerance; ++r) {
            if (m.referenceMatchedBy[r] >= 0) continue;
            if (best < 0 || std::llabs(reference[r] - detected[d]) <
                                std::llabs(reference[static_cast<std::size_t>(best)] - detected[d]))
                best = static_cast<int>(r);
        }
        if (best >= 0) {
            m.referenceMatchedBy[static_cast<std::size_t>(best)] = static_cast<int>(d);
            ++m.truePositives;
        } else {
            ++m.falsePositives;
            m.extra.push_back(detected[d]);
        }
    }
    for (std::size_t r = 0; r < reference.size(); ++r)
        if (m.referenceMatchedBy[r] < 0) {
            ++m.falseNegatives;
            m.missed.push_back(reference[r]);
        }
    return m;
}
