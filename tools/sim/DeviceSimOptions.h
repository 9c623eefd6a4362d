#pragma once
// The command line of `tarvelin-ecg-sim device`: which link to play, where the
// samples come from and which faults the simulated front end shows.

#include "tools/sim/DeviceSimPacketWriter.h"

#include <QString>
#include <QStringList>
#include <cstdint>

struct DeviceSimOptions {
    QString linkPath;  // empty: only print the pseudo-terminal's path
    DeviceLinkKind link = DeviceLinkKind::Standard;
    QString inputPath;               // empty: the synthetic model
    std::uint8_t batteryByte = 231;  // 3.0 V
    QStringList electrodesOff;
    int saturatedLead = -1;  // channel-table index, -1: none
    double corruptBytesPerSecond = 0.0;
    double silentAfterSeconds = -1.0;  // negative: never falls silent
    QString sentPath;                  // empty: no record of what was sent
    bool helpRequested = false;
    QString error;  // set when the arguments are refused

    // `arguments` are those after the word `device`.
    static DeviceSimOptions parse(const QStringList &arguments);
    static QString helpText();
};
