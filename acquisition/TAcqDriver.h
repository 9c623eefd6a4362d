#pragma once
// The single door through which ECG samples enter the program: holds the
// source, the raw sink the samples are appended to, the listeners and the
// per-channel mute switches.

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class AcqDevice;
class AcqDriverListener;
class SignalSource;

class TAcqDriver : public QObject {
public:
    // The driver uses, but does not own, the device and the sink; their
    // creator keeps them alive until after the driver is destroyed.
    TAcqDriver(AcqDevice &device, SignalSource &sink, QObject *parent = nullptr);
    ~TAcqDriver() override;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void requestReset() = 0;
    virtual bool channelSaturated(int channel) = 0;
    virtual bool electrodeOff(const QString &electrode) = 0;
    virtual double batteryVoltage() = 0;

    AcqDevice &device() const { return device_; }
    SignalSource &sink() const { return sink_; }

    void addListener(AcqDriverListener *listener);
    void removeListener(AcqDriverListener *listener);

    // A muted channel reaches the sink as zeros. Written on the user-interface
    // thread, read by the worker once per block.
    void setChannelMuted(int channel, bool muted);
    bool channelMuted(int channel) const;
    int muteChannelCount() const { return muteCount_; }
    const std::atomic<unsigned char> *muteBytes() const { return mute_.get(); }

protected:
    const std::vector<AcqDriverListener *> &listeners() const { return listeners_; }

private:
    AcqDevice &device_;
    SignalSource &sink_;
    std::vector<AcqDriverListener *> listeners_;
    int muteCount_;
    std::unique_ptr<std::atomic<unsigned char>[]> mute_;
};
