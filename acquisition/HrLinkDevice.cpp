#include "acquisition/HrLinkDevice.h"

#include "acquisition/PortDetection.h"
#include "analysis/ChannelTable.h"

namespace {
LinkSettings hrLink(const QString &portName, int baudRate) {
    LinkSettings s;
    s.portName = portName;
    s.baudRate = baudRate;
    s.layout = LinkPacket::Layout::Hr;
    s.keepAlivePackets = HrLinkDevice::kKeepAlivePackets;
    return s;
}
}  // namespace

HrLinkDevice::HrLinkDevice(const QString &portName, int baudRate, Sleeper *sleeper)
    : SerialLinkDevice(hrLink(portName, baudRate), kRange, sleeper) {}

HrLinkDevice::HrLinkDevice(const SerialPortCatalog *catalog, Sleeper *sleeper)
    : HrLinkDevice(PortDetection::requireUsbDevicePort(catalog), kBaudRate, sleeper) {}

int HrLinkDevice::channelCount() const { return ChannelTable::kChannelCount; }

QString HrLinkDevice::channelName(int index) const { return ChannelTable::name(index); }
