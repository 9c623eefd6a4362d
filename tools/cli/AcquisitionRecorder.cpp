#include "tools/cli/AcquisitionRecorder.h"

#include "acquisition/LinkPacket.h"
#include "acquisition/TAcqDriver.h"
#include "analysis/ChannelTable.h"
#include "analysis/SignalSource.h"

#include <QtEndian>
#include <algorithm>
#include <vector>

AcquisitionRecorder::AcquisitionRecorder(QIODevice &out, QTextStream &err, std::int64_t frameLimit, Events events)
    : out_(out), err_(err), frameLimit_(frameLimit), events_(std::move(events)) {
    clock_.start();
}

void AcquisitionRecorder::acqBlockArrived(TAcqDriver &driver) {
    const qint64 now = clock_.nsecsElapsed();
    const SignalSource &sink = driver.sink();
    // The rate is measured on everything the link delivers, also past the limit.
    if (firstBlockNs_ < 0) {
        firstBlockNs_ = now;
        deliveredAtFirstBlock_ = sink.length();
    }
    lastBlockNs_ = now;
    deliveredAtLastBlock_ = sink.length();

    const std::int64_t from = frames_;
    const std::int64_t to = std::min(sink.length(), frameLimit_);
    if (to <= from) return;  // complete: later blocks are not ours
    const int channels = sink.channelCount();
    // The frames are read back from the sink, so the recording holds exactly
    // what the rest of the program would have been given.
    std::vector<char> bytes(static_cast<std::size_t>((to - from) * channels * 2));
    char *at = bytes.data();
    for (std::int64_t frame = from; frame < to; ++frame)
        for (int c = 0; c < channels; ++c, at += 2)
            qToLittleEndian<qint16>(static_cast<qint16>(sink.readSample(c, frame)), at);
    if (!writeFailed_ &&
        out_.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        writeFailed_ = true;
    frames_ = to;
    noteDeviceState(driver);

    if (from == 0 && events_.firstBlock) events_.firstBlock();
    if (frames_ == frameLimit_ && events_.complete) events_.complete();
}

void AcquisitionRecorder::noteDeviceState(TAcqDriver &driver) {
    battery_ = driver.batteryVoltage();
    // Electrodes as the latest packets have them: one damaged status byte
    // must not report an electrode off for the whole recording. Saturation
    // is already a run of 250 samples, so any episode of it is kept.
    electrodesOff_.clear();
    for (int i = 0; i < LinkPacket::kElectrodeCount; ++i)
        if (driver.electrodeOff(LinkPacket::electrodeName(i))) electrodesOff_.insert(LinkPacket::electrodeName(i));
    for (int channel = 0; channel < ChannelTable::kChannelCount; ++channel)
        if (driver.channelSaturated(channel)) saturated_.insert(channel);
}

void AcquisitionRecorder::acqError(TAcqDriver &, const QString &message) {
    ++errorCount_;
    err_ << "device error: " << message << '\n';
    err_.flush();
}

double AcquisitionRecorder::rate() const {
    if (lastBlockNs_ <= firstBlockNs_) return 0.0;
    return static_cast<double>(deliveredAtLastBlock_ - deliveredAtFirstBlock_) * 1e9 /
           static_cast<double>(lastBlockNs_ - firstBlockNs_);
}

QStringList AcquisitionRecorder::electrodesOff() const {
    QStringList names;
    for (const QString &name : electrodesOff_) names << name;
    return names;
}

QStringList AcquisitionRecorder::channelsSeenSaturated() const {
    QStringList names;
    for (int channel : saturated_) names << ChannelTable::name(channel);
    return names;
}
