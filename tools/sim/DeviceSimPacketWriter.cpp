#include "tools/sim/DeviceSimPacketWriter.h"

#include <cmath>

namespace {
constexpr int kUnusedWord = -1;
constexpr int kBlockBytes = 10;

// Channel-table index carried by words A to D of blocks 1 to 3.
constexpr int kBlockLeads[3][4] = {
    {10, 0, 1, 2},             // V5, I, II, III
    {6, 7, 8, 9},              // V1, V2, V3, V4
    {11, 12, 13, kUnusedWord}  // V6, CM5, CR5
};

struct ElectrodeBits {
    const char *name;
    int block;
    int statusByte;
    std::uint8_t bits;
};
// A group of two bits is set whole: the host takes either bit as "off".
constexpr ElectrodeBits kElectrodeBits[] = {
    {"LA", 0, 0, 0x20}, {"LL", 0, 0, 0xC0}, {"RA", 0, 1, 0x60}, {"V1", 1, 0, 0x10}, {"V2", 1, 0, 0x20},
    {"V3", 1, 0, 0x40}, {"V4", 1, 0, 0x80}, {"V5", 0, 0, 0x10}, {"V6", 2, 0, 0x10},
};

void putWord(char *at, std::int16_t value) {
    const auto word = static_cast<std::uint16_t>(value);
    at[0] = static_cast<char>(word >> 8);  // most significant byte first
    at[1] = static_cast<char>(word & 0xFF);
}
}  // namespace

DeviceSimPacketWriter::DeviceSimPacketWriter(DeviceLinkKind link, std::uint8_t batteryByte,
                                             const QStringList &electrodesOff)
    : link_(link), battery_(batteryByte) {
    for (const ElectrodeBits &electrode : kElectrodeBits)
        if (electrodesOff.contains(QLatin1String(electrode.name)))
            status_[electrode.block][electrode.statusByte] |= electrode.bits;
}

const QStringList &DeviceSimPacketWriter::electrodeNames() {
    static const QStringList names = {"LA", "LL", "RA", "V1", "V2", "V3", "V4", "V5", "V6"};
    return names;
}

int DeviceSimPacketWriter::batteryByte(double volts) {
    if (!std::isfinite(volts) || volts < 0.0) return -1;
    const long value = std::lround(volts / kVoltsPerBatteryUnit);
    return value > 255 ? -1 : static_cast<int>(value);
}

void DeviceSimPacketWriter::writeBlock(char *at, int block, const DeviceFrame &frame) const {
    at[0] = static_cast<char>(status_[block][0]);
    at[1] = static_cast<char>(status_[block][1]);
    for (int word = 0; word < 4; ++word) {
        const int lead = kBlockLeads[block][word];
        putWord(at + 2 + 2 * word, lead == kUnusedWord ? std::int16_t(0) : frame[static_cast<std::size_t>(lead)]);
    }
}

QByteArray DeviceSimPacketWriter::packet(const DeviceFrame &frame) const {
    QByteArray bytes(packetBytes(), '\0');
    char *out = bytes.data();
    const char marker = static_cast<char>(0xC0);
    int offset = 0;
    for (int block = 0; block < 3; ++block) {
        // The standard link numbers its blocks before the common 0xC0 marker.
        if (link_ == DeviceLinkKind::Standard) out[offset++] = static_cast<char>(block + 1);
        out[offset++] = marker;
        writeBlock(out + offset, block, frame);
        offset += kBlockBytes;
    }
    out[offset] = static_cast<char>(battery_);  // standard: 37-39 stay zero
    return bytes;
}
