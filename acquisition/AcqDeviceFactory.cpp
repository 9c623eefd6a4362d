#include "acquisition/AcqDeviceFactory.h"

#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/ReplayDevice.h"
#include "analysis/ChannelTable.h"
#include "analysis/FrontEndRange.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace AcqDeviceFactory {
namespace {
constexpr int kReplayChannels = 14;
constexpr int kReplayRate = 500;
constexpr int kReplayBytesPerSample = 2;
constexpr int kReplayResolutionBits = FrontEndRange::kResolutionBits;
constexpr double kReplayRange = FrontEndRange::kRangeMv;
}  // namespace

QString findReplayFile(const QStringList &searchFolders) {
    for (const QString &folder : searchFolders) {
        const QFileInfo candidate(QDir(folder).filePath(QLatin1String(kReplayFileName)));
        if (candidate.isFile()) return candidate.absoluteFilePath();
    }
    return QString();
}

std::unique_ptr<AcqDevice> createDevice(const AcqSettings &settings, bool tiltTest,
                                        const QStringList &replaySearchFolders, const SerialPortCatalog *ports) {
    const std::int32_t mask = tiltTest ? ChannelTable::kTiltTestMask : ChannelTable::kAllChannelsMask;
    if (settings.mode == QLatin1String(kDemoMode)) {
        const QString path = findReplayFile(replaySearchFolders);
        if (path.isEmpty()) throw std::runtime_error("Cannot open file");
        // The configured signal gain belongs to devices, not to the replay.
        return std::make_unique<ReplayDevice>(path, kReplayChannels, kReplayRate, kReplayBytesPerSample,
                                              kReplayResolutionBits, kReplayRange, 0, mask);
    }
    std::unique_ptr<AcqDevice> device;
    if (settings.mode == QLatin1String(kBluetoothMode)) {
        // No port configured means no device to talk to, not a link that
        // fails to open over and over.
        if (settings.bluetoothPort.trimmed().isEmpty()) throw std::runtime_error("Device not found");
        if (settings.hrProtocol)
            device = std::make_unique<HrLinkDevice>(settings.bluetoothPort, HrLinkDevice::kBaudRate);
        else
            device = std::make_unique<LinkDevice>(settings.bluetoothPort, LinkDevice::kBaudRate, mask);
    } else if (settings.hrProtocol) {
        device = std::make_unique<HrLinkDevice>(ports);
    } else {
        device = std::make_unique<LinkDevice>(mask, ports);
    }
    if (settings.signalGain > 0) device->setAmplitudeRange(settings.signalGain);
    return device;
}

std::unique_ptr<SignalBuffer> createRawSink(const AcqDevice &device, int blockSize, int capacity) {
    auto sink = std::make_unique<SignalBuffer>(blockSize, capacity, device.channelCount(), device.samplingRate());
    sink->setAmplitudeRange(device.amplitudeMin(), device.amplitudeMax());
    sink->setResolutionBits(device.resolutionBits());
    for (int i = 0; i < device.channelCount(); ++i) sink->setChannelName(i, device.channelName(i));
    return sink;
}

}  // namespace AcqDeviceFactory
