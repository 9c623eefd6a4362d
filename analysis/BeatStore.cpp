#include "analysis/BeatStore.h"

#include "analysis/BeatRecordCodec.h"

#include <algorithm>

BeatStore::BeatStore(int channels)
    : channels_(std::clamp(channels, 0, static_cast<int>(BeatRecord::kMaxLeads))),
      recordSize_(BeatRecordCodec::recordSize(channels_)), block_(static_cast<std::size_t>(recordSize_) * kCapacity) {}

std::int64_t BeatStore::append(const BeatRecord &record) {
    const std::int64_t position = count_;
    BeatRecordCodec::toBytes(record, channels_, block_.data() + (position % kCapacity) * recordSize_);
    ++count_;
    return position;
}

const char *BeatStore::bytes(std::int64_t position) const {
    if (position < firstHeld() || position >= count_) return nullptr;
    return block_.data() + (position % kCapacity) * recordSize_;
}

bool BeatStore::read(std::int64_t position, BeatRecord &record) const {
    const char *stored = bytes(position);
    if (!stored) return false;
    record = BeatRecordCodec::fromBytes(stored, channels_);
    return true;
}
