#include "acquisition/LinkStatistics.h"

#include <algorithm>

LinkStatistics::LinkStatistics(std::function<std::int64_t()> clockMs) : clockMs_(std::move(clockMs)) {
    steady_.start();
}

std::int64_t LinkStatistics::now() const { return clockMs_ ? clockMs_() : steady_.elapsed(); }

void LinkStatistics::noteStarted() {
    std::int64_t never = -1;
    lastPacketMs_.compare_exchange_strong(never, now());
    // Whatever was half read belongs to the connection that ended.
    losing_ = false;
}

void LinkStatistics::notePacket() {
    const std::int64_t at = now();
    const std::int64_t last = lastPacketMs_.load();
    if (last >= 0 && at - last > longestGapMs_.load()) longestGapMs_.store(at - last);
    lastPacketMs_.store(at);
    packets_.fetch_add(1, std::memory_order_relaxed);
    losing_ = false;
}

void LinkStatistics::noteDiscarded(int bytes) {
    if (bytes <= 0) return;
    if (!losing_) resynchronisations_.fetch_add(1, std::memory_order_relaxed);
    losing_ = true;
    discardedBytes_.fetch_add(bytes, std::memory_order_relaxed);
}

LinkStatistics::Counts LinkStatistics::counts() const {
    Counts c;
    c.packets = packets_.load(std::memory_order_relaxed);
    c.resynchronisations = resynchronisations_.load(std::memory_order_relaxed);
    c.discardedBytes = discardedBytes_.load(std::memory_order_relaxed);
    const std::int64_t last = lastPacketMs_.load();
    const std::int64_t current = last >= 0 ? now() - last : 0;
    c.longestGapMs = std::max(longestGapMs_.load(), current);
    return c;
}
