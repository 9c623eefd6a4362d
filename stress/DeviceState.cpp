#include "stress/DeviceState.h"

QStringList DeviceState::monitoredElectrodes() {
    return {QStringLiteral("LL"), QStringLiteral("LA"), QStringLiteral("RA"),
            QStringLiteral("V1"), QStringLiteral("V2"), QStringLiteral("V3"),
            QStringLiteral("V4"), QStringLiteral("V5"), QStringLiteral("V6")};
}

bool DeviceState::lowBattery(double threshold) const {
    const double limit = threshold > 0.0 ? threshold : kDefaultLowBatteryVolts;
    return batteryVolts > 0.0 && batteryVolts < limit;
}

bool DeviceState::operator==(const DeviceState &other) const {
    return connected == other.connected && batteryVolts == other.batteryVolts && electrodesOff == other.electrodesOff &&
           inoperativeLeads == other.inoperativeLeads;
}
