#pragma once
// Finds QRS slope marks: scale 2^4 extrema above threshold, confirmed by
// scale 2^3 and then scale 2^2 extrema of the same sign nearby; then drops
// marks with no opposite-sign partner and all but the strongest of
// same-sign neighbours.

#include "analysis/DetectionThresholds.h"
#include "analysis/ScaleWindow.h"

#include <cstdint>
#include <vector>

class MarkArray;

class MarkSearch {
public:
    explicit MarkSearch(int rate);

    // Searches the scale 2^4 extrema n in [first, last] and marks the scale
    // 2^2 extrema they lead to. The removal rules apply to the marks this call
    // set, against every mark in the array, so a search over a stretch that
    // already holds marks only ever adds to them. Returns the marks it kept.
    int run(const ScaleWindow &scales, const DetectionThresholds &thresholds, std::int64_t first, std::int64_t last,
            MarkArray &marks);

    int halfWidth() const { return halfWidth_; }
    // How far before `first` and after `last` marks can land.
    int reach() const { return 2 * halfWidth_; }

private:
    static void count(const std::vector<signed char> &levels, std::vector<std::int32_t> &counts);
    static bool present(const std::vector<std::int32_t> &counts, std::int64_t from, std::int64_t to, int sign);
    void listMarks(const MarkArray &marks);
    void removeIsolated(MarkArray &marks);
    void removeRedundant(const ScaleWindow &scales, MarkArray &marks);

    int halfWidth_;                    // a = 50 ms
    int partnerReach_;                 // opposite-sign partner within 150 ms
    int sameSignReach_;                // b = 200 ms
    std::vector<std::int64_t> added_;  // ascending: the k loop runs forward
    struct Listed {
        std::int64_t at;
        bool added;
    };
    std::vector<Listed> listed_;  // every mark the removals can see, ascending
    // Per-pass scratch: the qualifying signs and their running counts.
    std::vector<signed char> level4_, level3_;
    std::vector<std::int32_t> counts4_, counts3_;
};

// True when scale k at i is strictly above, or strictly below, both its
// neighbours at distance d.
inline bool strictExtremum(const ScaleWindow &scales, int k, std::int64_t i, int d) {
    const int v = scales.at(k, i);
    const int before = scales.at(k, i - d);
    const int after = scales.at(k, i + d);
    return (v > before && v > after) || (v < before && v < after);
}

// True when scale k at i is above, or below, both its neighbours at distance
// d, level with at most one of them: the edge of a flat top. The long, even
// slope of a broad complex (a premature ventricular beat) holds scales 2^2
// and 2^3 at one truncated value for several samples, and no sample of such
// a top is a strict extremum.
inline bool flatTopExtremum(const ScaleWindow &scales, int k, std::int64_t i, int d) {
    const int v = scales.at(k, i);
    const int before = scales.at(k, i - d);
    const int after = scales.at(k, i + d);
    if (v >= before && v >= after) return v > before || v > after;
    if (v <= before && v <= after) return v < before || v < after;
    return false;
}
