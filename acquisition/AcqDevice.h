#pragma once
// The interface every acquisition source implements (device links and the
// demonstration replay): a reader thread fills a byte queue of sample frames,
// and the acquisition worker drains it.

#include <QString>
#include <optional>

class AcqDevice {
public:
    // Stops nothing by itself: the driver stops the source first.
    virtual ~AcqDevice() = default;

    virtual void start() = 0;
    // False once the reader has failed; the worker then restarts the source.
    virtual bool isOk() const = 0;
    // Reserved device query; every source of this system answers 0.
    virtual int deviceStatus() const { return 0; }
    virtual int bytesAvailable() const = 0;
    // Moves up to `length` bytes out of the queue; returns the count moved.
    virtual int read(char *destination, int length) = 0;
    // Next pending pacemaker pulse position; none of our sources report pulses.
    virtual std::optional<int> nextPacemakerOffset() { return std::nullopt; }
    // Called by the worker when a reset was requested.
    virtual void reset() {}
    virtual bool channelSaturated(int channel) const = 0;
    virtual bool electrodeOff(const QString &electrode) const = 0;
    // Asks the reader thread to stop and waits for it without limit.
    virtual void stop() = 0;
    virtual QString errorString() const = 0;
    virtual double batteryVoltage() const = 0;

    virtual int channelCount() const = 0;
    virtual QString channelName(int index) const = 0;
    virtual int samplingRate() const = 0;
    virtual int bytesPerSample() const = 0;
    virtual int resolutionBits() const = 0;
    virtual double amplitudeMin() const = 0;
    virtual double amplitudeMax() const = 0;
    // Replaces the +/- amplitude range R (the configured signal gain of a device).
    virtual void setAmplitudeRange(double range) = 0;

    int frameBytes() const { return bytesPerSample() * channelCount(); }
};
