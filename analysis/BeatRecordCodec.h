#pragma once
// The flat little-endian form of a BeatRecord shared by the beat store and
// the study's beat file: 56 bytes of beat values, then 80 bytes per lead.

#include "analysis/BeatRecord.h"

namespace BeatRecordCodec {

constexpr int kHeaderSize = 56;
constexpr int kLeadSize = 80;

// Bytes of one record with `channels` leads (0 to BeatRecord::kMaxLeads).
constexpr int recordSize(int channels) { return kHeaderSize + kLeadSize * channels; }

// Writes recordSize(channels) bytes; padding is zero, and an absent time or
// span is written as 0.
void toBytes(const BeatRecord &record, int channels, char *destination);

// Reads a record written by toBytes. A stored time or span <= 0 reads back as
// absent; the lead-present flag and the polarities are always present. The
// normal flag is not stored and reads back true.
BeatRecord fromBytes(const char *source, int channels);

}  // namespace BeatRecordCodec
