#pragma once
// What the two device links (standard and HR) share as acquisition sources:
// the reader thread on a named serial port, the byte queue, the device state
// and the source parameters common to both.

#include "acquisition/AcqDevice.h"
#include "acquisition/ByteFifo.h"
#include "acquisition/LinkDeviceState.h"
#include "acquisition/LinkReader.h"

#include <memory>

class Sleeper;

class SerialLinkDevice : public AcqDevice {
public:
    ~SerialLinkDevice() override;

    // Starts the reader unless it runs; a restart clears the last error.
    void start() override;
    bool isOk() const override { return state_.isOk(); }
    int bytesAvailable() const override { return fifo_.size(); }
    int read(char *destination, int length) override { return fifo_.read(destination, length); }
    bool electrodeOff(const QString &electrode) const override { return state_.electrodeOff(electrode); }
    void stop() override;
    QString errorString() const override { return state_.errorText(); }
    double batteryVoltage() const override { return state_.battery(); }

    int samplingRate() const override { return 500; }
    int bytesPerSample() const override { return 2; }
    int resolutionBits() const override { return 16; }
    double amplitudeMin() const override { return -range_; }
    double amplitudeMax() const override { return range_; }
    void setAmplitudeRange(double range) override { range_ = range; }

    // Packets, resynchronisations, bytes discarded and the longest silence
    // since the device was created; safe from any thread.
    LinkStatistics::Counts linkCounts() const { return state_.statistics().counts(); }

    QString portName() const { return settings_.portName; }
    int baudRate() const { return settings_.baudRate; }
    // Silence after which the reader fails with "Device read error" (10 s);
    // takes effect at the next start.
    void setReadTimeoutMs(int milliseconds) { settings_.readTimeoutMs = milliseconds; }

protected:
    SerialLinkDevice(const LinkSettings &settings, double range, Sleeper *sleeper);

    LinkDeviceState state_;

private:
    LinkSettings settings_;
    double range_;
    Sleeper &sleeper_;
    ByteFifo fifo_;
    std::unique_ptr<LinkReader> reader_;
};
