#include "analysis/MarkArray.h"

#include <algorithm>
#include <cstring>

void MarkArray::cover(std::int64_t first, std::int64_t end) {
    if (end < first) end = first;
    const std::int64_t keepFirst = std::max(first, first_);
    const std::int64_t keepEnd = std::min(end, first_ + count_);
    const std::int64_t kept = std::max<std::int64_t>(0, keepEnd - keepFirst);
    const auto size = static_cast<std::size_t>(end - first);
    if (size == 0) {
        first_ = first;
        count_ = 0;
        offset_ = 0;
        return;
    }
    if (cells_.size() < size) cells_.resize(std::max(size, 2 * cells_.size()));
    // Slide the surviving marks to their new place at the front, then zero
    // the rest of the new stretch.
    if (kept > 0)
        std::memmove(cells_.data() + (keepFirst - first), cells_.data() + slot(keepFirst),
                     static_cast<std::size_t>(kept));
    const std::size_t head = kept > 0 ? static_cast<std::size_t>(keepFirst - first) : size;
    std::memset(cells_.data(), 0, head);
    if (kept > 0) {
        const auto tail = static_cast<std::size_t>(keepEnd - first);
        std::memset(cells_.data() + tail, 0, size - tail);
    }
    first_ = first;
    count_ = end - first;
    offset_ = 0;
}

void MarkArray::clearAll() {
    if (count_ > 0) std::memset(cells_.data() + offset_, 0, static_cast<std::size_t>(count_));
}

std::int64_t MarkArray::next(std::int64_t after, std::int64_t limit) const {
    const std::int64_t from = std::max(after + 1, first_);
    const std::int64_t to = std::min(limit, first_ + count_);
    for (std::int64_t i = from; i < to; ++i)
        if (cells_[slot(i)] != 0) return i;
    return kNone;
}
