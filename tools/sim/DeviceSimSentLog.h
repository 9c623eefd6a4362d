#pragma once
// The record of every packet the simulated front end has put on the link: the
// 14-lead frame the host should decode from it (little-endian 16-bit, derived
// leads as the host computes them), so tests can compare bit for bit.

#include "tools/sim/DeviceSimPacketWriter.h"

#include <QFile>
#include <QString>

class DeviceSimSentLog {
public:
    // False, with a reason, when the file cannot be created.
    bool open(const QString &path, QString *error);
    bool isOpen() const { return file_.isOpen(); }
    void append(const DeviceFrame &sent);
    // False, with a reason, when something could not be written.
    bool close(QString *error);

    // The frame as the host decodes it: aVR, aVL and aVF follow from I, II and
    // III in integer arithmetic, the other leads are as sent.
    static DeviceFrame decodedFrame(const DeviceFrame &sent);

private:
    QFile file_;
    bool failed_ = false;
};
