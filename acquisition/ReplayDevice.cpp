#include "acquisition/ReplayDevice.h"

#include "acquisition/Sleeper.h"
#include "analysis/ChannelTable.h"

#include <stdexcept>

ReplayDevice::ReplayDevice(const QString &path, int channelsInFile, int samplingRate, int bytesPerSample,
                           int resolutionBits, double range, qint64 dataOffset, std::int32_t channelMask,
                           Sleeper *sleeper)
    : file_(path), resolutionBits_(resolutionBits), range_(range) {
    format_.channelsInFile = channelsInFile;
    format_.samplingRate = samplingRate;
    format_.bytesPerSample = bytesPerSample;
    format_.dataOffset = dataOffset;
    format_.channelMask = channelMask;
    if (!file_.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot open file");
    // A file without one whole frame would make the reader loop on empty
    // reads; it is no recording, so it fails like a missing one.
    const qint64 frameBytes = static_cast<qint64>(channelsInFile) * bytesPerSample;
    if (frameBytes <= 0 || samplingRate <= 0 || file_.size() - dataOffset < frameBytes)
        throw std::runtime_error("Cannot open file");
    channelNames_ = ChannelTable::maskedNames(channelMask, channelsInFile);
    reader_ = std::make_unique<ReplayReader>(file_, format_, fifo_, sleeper ? *sleeper : Sleeper::system());
}

ReplayDevice::~ReplayDevice() { stop(); }

void ReplayDevice::start() {
    if (reader_->isRunning()) return;
    reader_->clearFailure();
    reader_->start();
}

bool ReplayDevice::isOk() const { return !reader_->failed(); }

void ReplayDevice::stop() {
    reader_->requestInterruption();
    reader_->wait();
}

QString ReplayDevice::errorString() const { return reader_->failed() ? QStringLiteral("Cannot read file") : QString(); }
