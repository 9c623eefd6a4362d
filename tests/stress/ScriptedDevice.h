#pragma once
// An acquisition source the test scripts: it pushes frames into the queue
// and sets the link, battery, electrode and saturation state the device
// reports, from the test thread while the worker reads.

#include "acquisition/AcqDevice.h"
#include "acquisition/ByteFifo.h"

#include <QMutex>
#include <QStringList>
#include <QtEndian>
#include <atomic>
#include <vector>

class ScriptedDevice : public AcqDevice {
public:
    ScriptedDevice(int channels, int rate) : channels_(channels), rate_(rate) {}

    void start() override { ++starts; }
    bool isOk() const override { return ok.load(); }
    int bytesAvailable() const override { return fifo.size(); }
    int read(char *destination, int length) override {
        if (shortRead.exchange(false)) return fifo.read(destination, length / 2);
        return fifo.read(destination, length);
    }
    bool channelSaturated(int channel) const override { return channel == saturated.load(); }
    bool electrodeOff(const QString &electrode) const override {
        QMutexLocker lock(&mutex_);
        return off_.contains(electrode);
    }
    void stop() override {}
    QString errorString() const override { return QStringLiteral("Read error"); }
    double batteryVoltage() const override { return battery.load(); }
    int channelCount() const override { return channels_; }
    QString channelName(int index) const override {
        static const char *const names[] = {"I",  "II", "III", "aVR", "aVL", "aVF", "V1",
                                            "V2", "V3", "V4",  "V5",  "V6",  "CM5", "CR5"};
        return index >= 0 && index < 14 ? QString::fromLatin1(names[index]) : QString();
    }
    int samplingRate() const override { return rate_; }
    int bytesPerSample() const override { return 2; }
    int resolutionBits() const override { return 16; }
    double amplitudeMin() const override { return -range_; }
    double amplitudeMax() const override { return range_; }
    void setAmplitudeRange(double range) override { range_ = range; }

    void setElectrodesOff(const QStringList &names) {
        QMutexLocker lock(&mutex_);
        off_ = names;
    }
    // `frames` frames whose samples are all `value`.
    void push(int frames, std::int16_t value = 0) {
        std::vector<char> bytes(static_cast<std::size_t>(frames) * channels_ * 2);
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) qToLittleEndian<qint16>(value, bytes.data() + i);
        fifo.append(bytes.data(), static_cast<int>(bytes.size()));
    }

    ByteFifo fifo;
    std::atomic<bool> ok{true};
    std::atomic<bool> shortRead{false};
    std::atomic<double> battery{3.9};
    std::atomic<int> saturated{-1};
    std::atomic<int> starts{0};

private:
    int channels_;
    int rate_;
    double range_ = 300.0;
    mutable QMutex mutex_;
    QStringList off_;
};
