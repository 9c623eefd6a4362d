#include "acquisition/LinkDevice.h"

#include "acquisition/PortDetection.h"
#include "analysis/ChannelTable.h"

namespace {
LinkSettings standardLink(const QString &portName, int baudRate, std::int32_t mask) {
    LinkSettings s;
    s.portName = portName;
    s.baudRate = baudRate;
    s.layout = LinkPacket::Layout::Standard;
    s.channelMask = mask;
    s.keepAlivePackets = LinkDevice::kKeepAlivePackets;
    return s;
}
}  // namespace

LinkDevice::LinkDevice(const QString &portName, int baudRate, std::int32_t mask, Sleeper *sleeper)
    : SerialLinkDevice(standardLink(portName, baudRate, mask), kRange, sleeper),
      channelNames_(ChannelTable::maskedNames(mask)) {}

LinkDevice::LinkDevice(std::int32_t mask, const SerialPortCatalog *catalog, Sleeper *sleeper)
    : LinkDevice(PortDetection::requireUsbDevicePort(catalog), kBaudRate, mask, sleeper) {}
