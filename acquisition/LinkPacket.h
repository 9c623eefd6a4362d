#pragma once
// Decoding of the ECG front end's packets (standard link: 40 bytes, HR link:
// 34 bytes) into the 14 samples of the channel table, the electrode flags
// and the battery byte. Pure functions: no I/O, no state.

#include <QString>
#include <array>
#include <cstdint>

namespace LinkPacket {

enum class Layout { Standard, Hr };

constexpr int kStandardPacketBytes = 40;
constexpr int kHrPacketBytes = 34;
constexpr int kBlockBytes = 10;
constexpr double kBatteryVoltsPerUnit = 0.013;

// The electrodes whose off flags the packets carry, in this order.
constexpr int kElectrodeCount = 9;
QString electrodeName(int index);  // "LA", "LL", "RA", "V5", "V1", "V2", "V3", "V4", "V6"

using Samples = std::array<std::int16_t, 14>;              // channel-table order
using ElectrodeFlags = std::array<bool, kElectrodeCount>;  // true = off

struct Decoded {
    Samples samples{};
    ElectrodeFlags electrodeOff{};
    std::uint8_t batteryByte = 0;
    double batteryVolts() const { return batteryByte * kBatteryVoltsPerUnit; }
};

int packetBytes(Layout layout);

// Offsets of the three data blocks inside a packet of `layout`.
std::array<int, 3> blockOffsets(Layout layout);

// Decodes a packet whose framing bytes were already checked.
Decoded decode(Layout layout, const std::uint8_t *packet);

// aVR = -(I+II)/2, aVL = (I-III)/2, aVF = (II+III)/2: integer division
// toward zero, clamped to the 16-bit range.
void deriveLeads(Samples &samples);

// Zeroes the leads measured through an electrode that is off (standard
// link only); CM5 and CR5 are never zeroed.
void zeroLeadsOfOffElectrodes(Samples &samples, const ElectrodeFlags &off);

// One HR-link output sample from two consecutive packets: the sum shifted
// right by one bit (rounds toward minus infinity: -1, -2 -> -2).
std::int16_t averagePair(std::int16_t first, std::int16_t second);

}  // namespace LinkPacket
