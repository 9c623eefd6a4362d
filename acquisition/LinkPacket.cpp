#include "acquisition/LinkPacket.h"

#include <algorithm>

namespace LinkPacket {
namespace {

// Channel-table indices.
enum : int { I = 0, II, III, aVR, aVL, aVF, V1, V2, V3, V4, V5, V6, CM5, CR5 };
enum : int { LA = 0, LL, RA, EV5, EV1, EV2, EV3, EV4, EV6 };

const char *const kElectrodeNames[kElectrodeCount] = {"LA", "LL", "RA", "V5", "V1", "V2", "V3", "V4", "V6"};

// Channel of each sample word (A, B, C, D) per block; -1 = not used.
constexpr int kWordChannel[3][4] = {{V5, I, II, III}, {V1, V2, V3, V4}, {V6, CM5, CR5, -1}};

std::int16_t word(const std::uint8_t *p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((p[0] << 8) | p[1]));
}

std::int16_t clamp16(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }

}  // namespace

QString electrodeName(int index) {
    if (index < 0 || index >= kElectrodeCount) return QString();
    return QString::fromLatin1(kElectrodeNames[index]);
}

int packetBytes(Layout layout) { return layout == Layout::Standard ? kStandardPacketBytes : kHrPacketBytes; }

std::array<int, 3> blockOffsets(Layout layout) {
    if (layout == Layout::Standard) return {2, 14, 26};
    return {1, 12, 23};
}

Decoded decode(Layout layout, const std::uint8_t *packet) {
    Decoded d;
    const auto offsets = blockOffsets(layout);
    for (int b = 0; b < 3; ++b) {
        const std::uint8_t *block = packet + offsets[b];
        for (int w = 0; w < 4; ++w)
            if (kWordChannel[b][w] >= 0) d.samples[kWordChannel[b][w]] = word(block + 2 + 2 * w);
    }
    deriveLeads(d.samples);

    const std::uint8_t s0b1 = packet[offsets[0]];
    const std::uint8_t s1b1 = packet[offsets[0] + 1];
    const std::uint8_t s0b2 = packet[offsets[1]];
    const std::uint8_t s0b3 = packet[offsets[2]];
    d.electrodeOff[LA] = s0b1 & 0x20;
    d.electrodeOff[LL] = s0b1 & 0xC0;
    d.electrodeOff[RA] = s1b1 & 0x60;
    d.electrodeOff[EV5] = s0b1 & 0x10;
    d.electrodeOff[EV1] = s0b2 & 0x10;
    d.electrodeOff[EV2] = s0b2 & 0x20;
    d.electrodeOff[EV3] = s0b2 & 0x40;
    d.electrodeOff[EV4] = s0b2 & 0x80;
    d.electrodeOff[EV6] = s0b3 & 0x10;

    d.batteryByte = packet[layout == Layout::Standard ? 36 : 33];
    return d;
}

void deriveLeads(Samples &s) {
    // C++ integer division truncates toward zero, as the device's own does.
    s[aVR] = clamp16(-(s[I] + s[II]) / 2);
    s[aVL] = clamp16((s[I] - s[III]) / 2);
    s[aVF] = clamp16((s[II] + s[III]) / 2);
}

void zeroLeadsOfOffElectrodes(Samples &s, const ElectrodeFlags &off) {
    const auto zero = [&s](std::initializer_list<int> channels) {
        for (int c : channels) s[c] = 0;
    };
    if (off[LA]) zero({I, III, aVR, aVL, aVF});
    if (off[LL]) zero({II, III, aVR, aVL, aVF});
    if (off[RA]) zero({I, II, aVR, aVL, aVF});
    if (off[EV1]) zero({V1});
    if (off[EV2]) zero({V2});
    if (off[EV3]) zero({V3});
    if (off[EV4]) zero({V4});
    if (off[EV5]) zero({V5});
    if (off[EV6]) zero({V6});
}

std::int16_t averagePair(std::int16_t first, std::int16_t second) {
    const int sum = first + second;
    // Floor of sum / 2 without relying on the sign behaviour of >>.
    return static_cast<std::int16_t>(sum >= 0 ? sum / 2 : (sum - 1) / 2);
}

}  // namespace LinkPacket
