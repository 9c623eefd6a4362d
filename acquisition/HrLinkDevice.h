#pragma once
// The ECG front end over the HR link: 34-byte packets at 570000 baud, two
// packets averaged into each delivered frame, all 14 channels.

#include "acquisition/SerialLinkDevice.h"
#include "analysis/FrontEndRange.h"

class SerialPortCatalog;

class HrLinkDevice : public SerialLinkDevice {
public:
    static constexpr int kBaudRate = 570000;
    static constexpr double kRange = FrontEndRange::kRangeMv;
    static constexpr int kKeepAlivePackets = 60000;

    // The named port (Bluetooth mode).
    HrLinkDevice(const QString &portName, int baudRate, Sleeper *sleeper = nullptr);
    // The port found by USB detection in `catalog` (the system's ports when
    // null); throws std::runtime_error("Device not found") when there is none.
    explicit HrLinkDevice(const SerialPortCatalog *catalog = nullptr, Sleeper *sleeper = nullptr);

    // The HR link reports no saturation.
    bool channelSaturated(int) const override { return false; }
    int channelCount() const override;
    QString channelName(int index) const override;
};
