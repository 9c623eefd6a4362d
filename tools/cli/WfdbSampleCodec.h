#pragma once
// The WFDB sample encodings read here: format 16 (16-bit little-endian) and
// format 212 (pairs of 12-bit two's complement samples in three bytes).

#include <cstdint>
#include <vector>

namespace WfdbSampleCodec {

bool isSupported(int format);

// Bytes that `samples` consecutive samples take; an odd count in format 212
// ends with a two-byte half pair.
std::int64_t encodedSize(int format, std::int64_t samples);

// Samples that exactly `bytes` bytes hold, or -1 when no count of samples
// takes that many bytes.
std::int64_t samplesIn(int format, std::int64_t bytes);

// The value WFDB writes for a missing sample.
int invalidSample(int format);

// Decodes `count` samples from `data`, which holds at least
// encodedSize(format, count) bytes.
std::vector<int> decode(int format, const unsigned char *data, std::int64_t count);

}  // namespace WfdbSampleCodec
