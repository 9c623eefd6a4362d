#include "analysis/StreamHistory.h"

#include "analysis/SignalSource.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

StreamHistory::StreamHistory(int channelCount, std::int64_t begin, std::int64_t start, int capacity)
    : channelCount_(channelCount), capacity_(capacity), begin_(begin) {
    const std::int64_t zeros = std::max<std::int64_t>(0, start - begin);
    if (capacity <= 0 || zeros > capacity) throw std::invalid_argument("History too small for its window");
    count_ = static_cast<int>(zeros);
    samples_.assign(static_cast<std::size_t>(channelCount) * capacity, 0.0);
}

std::int64_t StreamHistory::extend(const SignalSource &input, std::int64_t upTo) {
    if (upTo <= end()) return end();
    if (upTo - end() > capacity_ - offset_ - count_) compact();
    const int room = capacity_ - offset_ - count_;
    const int n = static_cast<int>(std::min<std::int64_t>(upTo - end(), room));
    for (int c = 0; c < channelCount_; ++c)
        input.readRange(c, end(), n, &samples_[static_cast<std::size_t>(c) * capacity_ + offset_ + count_]);
    count_ += n;
    return end();
}

void StreamHistory::dropBefore(std::int64_t index) {
    const int drop = static_cast<int>(std::clamp<std::int64_t>(index - begin_, 0, count_));
    begin_ += drop;
    offset_ += drop;
    count_ -= drop;
    if (count_ == 0) offset_ = 0;
}

void StreamHistory::compact() {
    // Moves the kept samples to the front when the tail cannot take a read;
    // the copy is amortised over the `capacity - kept` samples read after it.
    if (offset_ == 0) return;
    for (int c = 0; c < channelCount_; ++c) {
        double *row = &samples_[static_cast<std::size_t>(c) * capacity_];
        std::memmove(row, row + offset_, static_cast<std::size_t>(count_) * sizeof(double));
    }
    offset_ = 0;
}
