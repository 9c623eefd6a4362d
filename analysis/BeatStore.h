#pragma once
// The most recent beats of a session, kept as flat records in one block
// allocated up front; when full, each new beat overwrites the oldest.

#include "analysis/BeatRecord.h"

#include <cstdint>
#include <vector>

class BeatStore {
public:
    static constexpr int kCapacity = 10000;

    // `channels` leads per record (0 to BeatRecord::kMaxLeads).
    explicit BeatStore(int channels);

    int channels() const { return channels_; }
    int capacity() const { return kCapacity; }
    int recordSize() const { return recordSize_; }

    // Stores the beat and returns its position: 0 for the first beat ever
    // appended, then 1, 2 ... (positions keep counting after the ring wraps).
    std::int64_t append(const BeatRecord &record);
    // False, leaving `record` untouched, for a position never appended or
    // already overwritten.
    bool read(std::int64_t position, BeatRecord &record) const;
    // The stored bytes of a held position (recordSize() of them), or null.
    const char *bytes(std::int64_t position) const;

    // Beats appended so far; never decreases until clear().
    std::int64_t count() const { return count_; }
    // Oldest position still held.
    std::int64_t firstHeld() const { return count_ > kCapacity ? count_ - kCapacity : 0; }
    void clear() { count_ = 0; }

private:
    int channels_;
    int recordSize_;
    std::int64_t count_ = 0;
    std::vector<char> block_;
};
