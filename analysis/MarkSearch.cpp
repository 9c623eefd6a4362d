#include "analysis/MarkSearch.h"

#include "analysis/MarkArray.h"
#include "analysis/ScaleWindow.h"

#include <algorithm>
#include <cstdlib>

namespace {

int signOf(int v) { return (v > 0) - (v < 0); }

}  // namespace

MarkSearch::MarkSearch(int rate)
    : halfWidth_(static_cast<int>(0.05 * rate)), partnerReach_(static_cast<int>(0.15 * rate)),
      sameSignReach_(static_cast<int>(0.2 * rate)) {}

int MarkSearch::run(const ScaleWindow &scales, const DetectionThresholds &thresholds, std::int64_t first,
                    std::int64_t last, MarkArray &marks) {
    added_.clear();
    if (last < first) return 0;
    // Every n qualifying on scale 2^4 leads to the j within a of it that
    // qualify on scale 2^3 with its sign, and each of those to the k within a
    // that qualify on scale 2^2 with the same sign. As each test depends on
    // the sample's own sign only, that is the set of k with a qualifying j of
    // their sign within a, which has a qualifying n of its sign within a: three
    // linear passes, each looking up its neighbourhood in running counts.
    const int a = halfWidth_;
    const double e2 = thresholds.at(2), e3 = thresholds.at(3), e4 = thresholds.at(4);

    const std::int64_t n4 = last - first + 1;
    level4_.assign(static_cast<std::size_t>(n4), 0);
    for (std::int64_t n = first; n <= last; ++n) {
        const int w4 = scales.at(4, n);
        const int sign = signOf(w4);
        if (sign != 0 && std::abs(static_cast<double>(w4)) >= e4 && strictExtremum(scales, 4, n, 2))
            level4_[static_cast<std::size_t>(n - first)] = static_cast<signed char>(sign);
    }
    count(level4_, counts4_);

    const std::int64_t first3 = first - a;
    const std::int64_t n3 = n4 + 2 * a;
    level3_.assign(static_cast<std::size_t>(n3), 0);
    for (std::int64_t j = first3; j < first3 + n3; ++j) {
        const int w3 = scales.at(3, j);
        const int sign = signOf(w3);
        if (sign == 0 || std::abs(static_cast<double>(w3)) < e3) continue;
        if (!present(counts4_, j - a - first, j + a - first, sign)) continue;
        if (flatTopExtremum(scales, 3, j, 2) || flatTopExtremum(scales, 3, j, 3))
            level3_[static_cast<std::size_t>(j - first3)] = static_cast<signed char>(sign);
    }
    count(level3_, counts3_);

    for (std::int64_t k = first3 - a; k < first3 + n3 + a; ++k) {
        const int w2 = scales.at(2, k);
        const int sign = signOf(w2);
        if (sign == 0 || std::abs(static_cast<double>(w2)) < e2) continue;
        if (!present(counts3_, k - a - first3, k + a - first3, sign)) continue;
        if (!flatTopExtremum(scales, 2, k, 2) && !flatTopExtremum(scales, 2, k, 3) && !flatTopExtremum(scales, 2, k, 4))
            continue;
        if (marks.at(k) == 0 && marks.inside(k)) added_.push_back(k);
        marks.set(k, sign);
    }
    removeIsolated(marks);
    removeRedundant(scales, marks);
    int kept = 0;
    for (std::int64_t i : added_) kept += marks.at(i) != 0;
    return kept;
}

void MarkSearch::count(const std::vector<signed char> &levels, std::vector<std::int32_t> &counts) {
    // counts[2i] and counts[2i + 1]: positive and negative entries before i.
    counts.assign(2 * levels.size() + 2, 0);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        counts[2 * i + 2] = counts[2 * i] + (levels[i] > 0);
        counts[2 * i + 3] = counts[2 * i + 1] + (levels[i] < 0);
    }
}

bool MarkSearch::present(const std::vector<std::int32_t> &counts, std::int64_t from, std::int64_t to, int sign) {
    // Any entry of `sign` at relative positions [from, to], clipped to the array.
    const auto size = static_cast<std::int64_t>(counts.size() / 2 - 1);
    from = std::max<std::int64_t>(from, 0);
    to = std::min<std::int64_t>(to, size - 1);
    if (from > to) return false;
    const std::size_t parity = sign > 0 ? 0 : 1;
    return counts[static_cast<std::size_t>(2 * (to + 1)) + parity] >
           counts[static_cast<std::size_t>(2 * from) + parity];
}

void MarkSearch::listMarks(const MarkArray &marks) {
    // The marks within reach of the added ones: those added here and any
    // that were already there.
    listed_.clear();
    if (added_.empty()) return;
    const std::int64_t reach = std::max(partnerReach_, sameSignReach_);
    std::size_t next = 0;
    for (std::int64_t i = marks.next(added_.front() - reach - 1, added_.back() + reach + 1); i != MarkArray::kNone;
         i = marks.next(i, added_.back() + reach + 1)) {
        const bool added = next < added_.size() && added_[next] == i;
        next += added;
        listed_.push_back({i, added});
    }
}

void MarkSearch::removeIsolated(MarkArray &marks) {
    // A mark without an opposite partner is nobody's partner either, so
    // clearing as we go gives the same result as deciding all at once.
    listMarks(marks);
    std::size_t low = 0;
    for (std::size_t m = 0; m < listed_.size(); ++m) {
        if (!listed_[m].added) continue;
        const std::int64_t i = listed_[m].at;
        const int sign = marks.at(i);
        while (listed_[low].at < i - partnerReach_) ++low;
        bool partnered = false;
        for (std::size_t k = low; k < listed_.size() && listed_[k].at <= i + partnerReach_ && !partnered; ++k)
            partnered = marks.at(listed_[k].at) == -sign;
        if (!partnered) marks.clear(i);
    }
}

void MarkSearch::removeRedundant(const ScaleWindow &scales, MarkArray &marks) {
    // Of same-sign marks within b of each other only the one with the
    // largest scale 2^3 value survives (the earlier one on a tie). Marks
    // that were there before this search are never cleared.
    std::size_t low = 0;
    for (std::size_t m = 0; m < listed_.size(); ++m) {
        const std::int64_t j = listed_[m].at;
        const int sign = marks.at(j);
        if (!listed_[m].added || sign == 0) continue;
        const int strength = std::abs(scales.at(3, j));
        while (listed_[low].at < j - sameSignReach_) ++low;
        for (std::size_t n = low; n < listed_.size() && listed_[n].at <= j + sameSignReach_; ++n) {
            const std::int64_t k = listed_[n].at;
            if (k == j || marks.at(k) != sign) continue;
            if (strength < std::abs(scales.at(3, k))) {
                marks.clear(j);
                break;
            }
            if (listed_[n].added) marks.clear(k);
        }
    }
}
