#pragma once
// Lays out what the ECG front end sends for one frame of leads: a 40-byte
// standard-link packet or a 34-byte HR-link packet, with the electrode status
// bits and the battery byte.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// One sample of each of the 14 leads in channel-table order. The device
// sends only I, II, III, the chest leads, CM5 and CR5; the host derives the rest.
using DeviceFrame = std::array<std::int16_t, 14>;

enum class DeviceLinkKind { Standard, HighRate };

class DeviceSimPacketWriter {
public:
    static constexpr int kStandardPacketBytes = 40;
    static constexpr int kHighRatePacketBytes = 34;
    static constexpr double kVoltsPerBatteryUnit = 0.013;

    // `electrodesOff` holds names from electrodeNames() only.
    DeviceSimPacketWriter(DeviceLinkKind link, std::uint8_t batteryByte, const QStringList &electrodesOff);

    QByteArray packet(const DeviceFrame &frame) const;
    int packetBytes() const { return link_ == DeviceLinkKind::Standard ? kStandardPacketBytes : kHighRatePacketBytes; }

    // The electrodes whose contact the device reports: "LA", "LL", "RA", "V1" ... "V6".
    static const QStringList &electrodeNames();
    // Volts / 0.013 rounded to the nearest unit; -1 when the byte cannot carry it.
    static int batteryByte(double volts);

private:
    void writeBlock(char *at, int block, const DeviceFrame &frame) const;

    DeviceLinkKind link_;
    std::uint8_t battery_;
    std::array<std::array<std::uint8_t, 2>, 3> status_{};  // [block][S0, S1]
};
