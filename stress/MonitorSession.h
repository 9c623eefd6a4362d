#pragma once
// One monitor window's acquisition: owns the device, the monitoring engine
// and the driver that feeds the engine's raw buffer, hands every block to
// the engine, and tells listeners how the device is doing. No widgets: the
// windows wire their indicators to it.

#include "analysis/SubscriberList.h"
#include "acquisition/AcqDriverListener.h"
#include "stress/DeviceState.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>

class AcqDevice;
class MonitorEngine;
class SessionListener;
class Sleeper;
class TQtAcqDriver;

class MonitorSession : private AcqDriverListener {
public:
    static QString deviceFailedText();
    // A running acquisition without a block for this long has lost its link:
    // the worker hands on blocks every ~100 ms while the device streams, and
    // a reconnecting link reports no error while it waits for packets.
    static constexpr int kSilenceMs = 2000;

    // `sleeper` paces the driver's polling (the system's when null). The
    // engine is built for the device's channels, rate, range and resolution.
    explicit MonitorSession(std::unique_ptr<AcqDevice> device, bool withDisplay = true, Sleeper *sleeper = nullptr);
    ~MonitorSession() override;
    MonitorSession(const MonitorSession &) = delete;
    MonitorSession &operator=(const MonitorSession &) = delete;

    // Starts the driver once; stop() is final (a new session acquires again).
    void start();
    void stop();
    bool acquiring() const { return started_ && !stopped_ && !failed_; }
    bool failed() const { return failed_; }

    MonitorEngine &engine() const { return *engine_; }
    AcqDevice &device() const { return *device_; }
    TQtAcqDriver &driver() const { return *driver_; }

    void addListener(SessionListener *listener) { listeners_.add(listener); }
    void removeListener(SessionListener *listener) { listeners_.remove(listener); }

    // Asked of the device now.
    DeviceState currentDeviceState() const;
    // The state last reported to listeners.
    const DeviceState &deviceState() const { return state_; }
    // Reads the device and tells listeners when anything changed; the
    // window's clock calls it.
    void pollDeviceState();

private:
    void acqBlockArrived(TAcqDriver &driver) override;
    void acqPacemakerPulse(TAcqDriver &driver, int sampleOffset) override;
    void acqError(TAcqDriver &driver, const QString &message) override;

    std::unique_ptr<AcqDevice> device_;
    std::unique_ptr<MonitorEngine> engine_;
    std::unique_ptr<TQtAcqDriver> driver_;
    SubscriberList<SessionListener> listeners_;
    DeviceState state_;
    QElapsedTimer sinceLastBlock_;
    bool started_ = false;
    bool stopped_ = false;
    bool failed_ = false;
};
