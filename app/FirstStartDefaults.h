#pragma once
// An installed program started for the first time has no device configured
// yet, so it replays the demonstration recording it ships with instead of
// looking for a front end that is not there. Only a key never written is
// set: a user's choice, even "USB device" (empty), is never overridden, and a
// program run from a build tree (no installed data folder) is left alone.

#include <QString>

namespace FirstStartDefaults {

// Returns true when it set the acquisition mode to the demonstration replay.
bool apply(const QString &programFolder);

}  // namespace FirstStartDefaults
