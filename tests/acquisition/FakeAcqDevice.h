#pragma once
// A scriptable acquisition source for driver tests: the test pushes bytes
// into its queue and sets failures; counters record how the worker used it.

#include "acquisition/AcqDevice.h"
#include "acquisition/ByteFifo.h"

#include <QMutex>
#include <QStringList>
#include <atomic>
#include <deque>
#include <stdexcept>

class FakeAcqDevice : public AcqDevice {
public:
    FakeAcqDevice(int channels, int rate) : channels_(channels), rate_(rate) {}

    void start() override { ++starts; }
    bool isOk() const override { return ok.load(); }
    int bytesAvailable() const override { return fifo.size(); }
    int read(char *destination, int length) override {
        if (throwOnRead) throw std::runtime_error("bus fault");
        if (shortReads.load() > 0) {
            --shortReads;
            return fifo.read(destination, length / 2);
        }
        return fifo.read(destination, length);
    }
    std::optional<int> nextPacemakerOffset() override {
        QMutexLocker lock(&mutex_);
        if (pacemakerOffsets.empty()) return std::nullopt;
        const int offset = pacemakerOffsets.front();
        pacemakerOffsets.pop_front();
        return offset;
    }
    void reset() override { ++resets; }
    bool channelSaturated(int channel) const override { return channel == saturatedChannel; }
    bool electrodeOff(const QString &electrode) const override { return electrode == QLatin1String("LA"); }
    void stop() override { ++stops; }
    QString errorString() const override { return QStringLiteral("Port not found"); }
    double batteryVoltage() const override { return 3.7; }
    int channelCount() const override { return channels_; }
    QString channelName(int index) const override { return QStringLiteral("C%1").arg(index); }
    int samplingRate() const override { return rate_; }
    int bytesPerSample() const override { return 2; }
    int resolutionBits() const override { return 16; }
    double amplitudeMin() const override { return -range_; }
    double amplitudeMax() const override { return range_; }
    void setAmplitudeRange(double range) override { range_ = range; }

    void addPacemakerOffset(int offset) {
        QMutexLocker lock(&mutex_);
        pacemakerOffsets.push_back(offset);
    }

    ByteFifo fifo;
    std::atomic<bool> ok{true};
    std::atomic<bool> throwOnRead{false};
    std::atomic<int> shortReads{0};
    std::atomic<int> starts{0}, stops{0}, resets{0};
    int saturatedChannel = -1;

private:
    int channels_;
    int rate_;
    double range_ = 450.0;
    QMutex mutex_;
    std::deque<int> pacemakerOffsets;
};
