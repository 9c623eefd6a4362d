#pragma once
// On Linux a serial device (/dev/ttyUSB0, /dev/rfcomm0) belongs to the group
// "dialout", and a user outside it cannot open the front end at all. The
// link's own open failure text cannot say why, so starting a test checks the
// configured Bluetooth port or the detected USB front end itself and adds how
// to get access.

#include <QString>

namespace SerialAccessHint {

// True when the device exists but this user may not read and write it.
bool permissionDenied(const QString &devicePath);

// The note shown under the open failure text: join the "dialout" group.
QString dialoutNote(const QString &devicePath);

// Throws the ECG link's open failure text with the note beneath it when the
// port exists but cannot be opened for lack of permission.
void requireAccess(const QString &portName);

}  // namespace SerialAccessHint
