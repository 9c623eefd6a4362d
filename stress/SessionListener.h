#pragma once
// Told by a monitor session, on the user-interface thread, in subscription
// order, how the acquisition device is doing; every operation has an empty
// default.

#include <QString>

class MonitorSession;
struct DeviceState;

class SessionListener {
public:
    virtual ~SessionListener() = default;
    // The device's link, battery, electrodes or inoperative leads changed.
    virtual void deviceStateChanged(MonitorSession &, const DeviceState &) {}
    // The acquisition ended with a failure; `text` is the fixed operator
    // message, `detail` the source's own error text.
    virtual void acquisitionFailed(MonitorSession &, const QString & /*text*/, const QString & /*detail*/) {}
};
