#pragma once
// The acquisition source that plays a recorded file in real time and
// endlessly, so every window works without an acquisition device.

#include "acquisition/AcqDevice.h"
#include "acquisition/ByteFifo.h"
#include "acquisition/ReplayReader.h"

#include <QFile>
#include <QStringList>
#include <memory>

class Sleeper;

class ReplayDevice : public AcqDevice {
public:
    // Throws std::runtime_error("Cannot open file") when the file cannot be
    // read or holds less than one whole frame after the data offset.
    ReplayDevice(const QString &path, int channelsInFile, int samplingRate, int bytesPerSample, int resolutionBits,
                 double range, qint64 dataOffset, std::int32_t channelMask, Sleeper *sleeper = nullptr);
    ~ReplayDevice() override;

    void start() override;
    bool isOk() const override;
    int bytesAvailable() const override { return fifo_.size(); }
    int read(char *destination, int length) override { return fifo_.read(destination, length); }
    bool channelSaturated(int) const override { return false; }
    bool electrodeOff(const QString &) const override { return false; }
    void stop() override;
    QString errorString() const override;
    double batteryVoltage() const override { return 0.0; }

    int channelCount() const override { return channelNames_.size(); }
    QString channelName(int index) const override { return channelNames_.value(index); }
    int samplingRate() const override { return format_.samplingRate; }
    int bytesPerSample() const override { return format_.bytesPerSample; }
    int resolutionBits() const override { return resolutionBits_; }
    double amplitudeMin() const override { return -range_; }
    double amplitudeMax() const override { return range_; }
    void setAmplitudeRange(double range) override { range_ = range; }

private:
    QFile file_;
    ReplayFormat format_;
    int resolutionBits_;
    double range_;
    QStringList channelNames_;
    ByteFifo fifo_;
    std::unique_ptr<ReplayReader> reader_;
};
