#pragma once
// The ASCII commands of the Kipnet treadmill/ergometer protocol: a template,
// the device address, a capped four-digit value field and a two-digit
// checksum.

#include <QByteArray>

class KipnetCommand {
public:
    static constexpr char kAddress = '2';

    static QByteArray speed(double kmPerHour);  // tenths of km/h, at most 400
    static QByteArray incline(double percent);  // tenths of a percent, at most 200
    static QByteArray workload(double watts);   // watts, at most 800
    static QByteArray go();
    static QByteArray stop();

    // "V", "E", "N", "GO" or "ST": how a failure names the command.
    static QByteArray name(const QByteArray &command);
};
