#pragma once
// What the acquisition device reports about itself at one moment: whether
// its link is up, its battery, the electrodes that lost contact and the
// leads it cannot measure (saturated).

#include <QStringList>
#include <vector>

struct DeviceState {
    // A battery reading of 0 means the source has no battery (the replay).
    static constexpr double kDefaultLowBatteryVolts = 2.3;

    bool connected = true;
    double batteryVolts = 0.0;
    QStringList electrodesOff;          // in the order of monitoredElectrodes()
    std::vector<int> inoperativeLeads;  // acquired channel indexes

    // The nine electrodes the monitor watches.
    static QStringList monitoredElectrodes();

    // `threshold` <= 0 takes the default.
    bool lowBattery(double threshold) const;
    bool anyElectrodeOff() const { return !electrodesOff.isEmpty(); }
    bool anyLeadInoperative() const { return !inoperativeLeads.empty(); }

    bool operator==(const DeviceState &other) const;
    bool operator!=(const DeviceState &other) const { return !(*this == other); }
};
