#pragma once
// The detector's QRS slope marks: one sign (-1, 0, +1) per sample of the
// stretch under analysis, addressed by absolute sample index; indexes outside
// the stretch read as a shared zero and ignore writes.

#include <cstdint>
#include <vector>

class MarkArray {
public:
    static constexpr std::int64_t kNone = -1;

    // Slides the stretch to [first, end): marks inside both the old and the
    // new stretch stay, new indexes start unmarked.
    void cover(std::int64_t first, std::int64_t end);
    // Unmarks the whole stretch.
    void clearAll();

    std::int64_t first() const { return first_; }
    std::int64_t end() const { return first_ + count_; }
    bool inside(std::int64_t i) const { return i >= first_ && i < first_ + count_; }

    int at(std::int64_t i) const { return inside(i) ? cells_[slot(i)] : 0; }
    void set(std::int64_t i, int sign) {
        if (inside(i)) cells_[slot(i)] = static_cast<signed char>(sign);
    }
    void clear(std::int64_t i) { set(i, 0); }

    // First marked index in (after, limit), or kNone.
    std::int64_t next(std::int64_t after, std::int64_t limit) const;

private:
    std::size_t slot(std::int64_t i) const { return static_cast<std::size_t>(offset_ + (i - first_)); }

    std::int64_t first_ = 0;
    std::int64_t count_ = 0;
    std::int64_t offset_ = 0;
    std::vector<signed char> cells_;
};
