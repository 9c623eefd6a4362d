#pragma once
// The ECG front end over the standard link: 40-byte packets at 230400 baud,
// the channels of a mask delivered, saturation tracking and zeroing of the
// leads whose electrode is off.

#include "acquisition/SerialLinkDevice.h"

#include <QStringList>
#include <cstdint>

class SerialPortCatalog;

class LinkDevice : public SerialLinkDevice {
public:
    static constexpr int kBaudRate = 230400;
    static constexpr double kRange = 450.0;
    static constexpr int kKeepAlivePackets = 30000;

    // The named port (Bluetooth mode).
    LinkDevice(const QString &portName, int baudRate, std::int32_t mask, Sleeper *sleeper = nullptr);
    // The port found by USB detection in `catalog` (the system's ports when
    // null); throws std::runtime_error("Device not found") when there is none.
    explicit LinkDevice(std::int32_t mask, const SerialPortCatalog *catalog = nullptr, Sleeper *sleeper = nullptr);

    bool channelSaturated(int channel) const override { return state_.saturated(channel); }
    int channelCount() const override { return channelNames_.size(); }
    QString channelName(int index) const override { return channelNames_.value(index); }

private:
    QStringList channelNames_;
};
