#include "tools/cli/WfdbSampleCodec.h"

namespace WfdbSampleCodec {
namespace {

int signExtend12(int value) { return value >= 0x800 ? value - 0x1000 : value; }

}  // namespace

bool isSupported(int format) { return format == 16 || format == 212; }

std::int64_t encodedSize(int format, std::int64_t samples) {
    if (format == 16) return 2 * samples;
    return 3 * (samples / 2) + 2 * (samples % 2);
}

std::int64_t samplesIn(int format, std::int64_t bytes) {
    if (bytes < 0) return -1;
    if (format == 16) return bytes % 2 == 0 ? bytes / 2 : -1;
    switch (bytes % 3) {
    case 0: return 2 * (bytes / 3);
    case 2: return 2 * (bytes / 3) + 1;
    default: return -1;
    }
}

int invalidSample(int format) { return format == 16 ? -32768 : -2048; }

std::vector<int> decode(int format, const unsigned char *data, std::int64_t count) {
    std::vector<int> samples(static_cast<std::size_t>(count));
    if (format == 16) {
        for (std::int64_t i = 0; i < count; ++i) {
            const unsigned int word = data[2 * i] | (static_cast<unsigned int>(data[2 * i + 1]) << 8);
            samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(word);
        }
        return samples;
    }
    // Format 212: the first sample of a pair is byte 0 plus the low nibble of
    // byte 1 as its top four bits; the second is byte 2 plus the high nibble.
    for (std::int64_t i = 0; i < count; ++i) {
        const unsigned char *pair = data + 3 * (i / 2);
        const int value = i % 2 == 0 ? pair[0] | ((pair[1] & 0x0F) << 8) : pair[2] | ((pair[1] & 0xF0) << 4);
        samples[static_cast<std::size_t>(i)] = signExtend12(value);
    }
    return samples;
}

}  // namespace WfdbSampleCodec
