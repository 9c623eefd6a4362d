#pragma once
// Creates the acquisition source the current settings ask for, looking for
// the demonstration recording in the current folder first, then beside the
// program, then where an installed program keeps it (PREFIX/share/tarvelin-ecg).

#include <QStringList>
#include <memory>

class AcqDevice;

namespace ConfiguredAcquisition {

QStringList replaySearchFolders();

// Throws std::runtime_error "Cannot open file" / "Device not found".
std::unique_ptr<AcqDevice> createDevice(bool tiltTest);

}  // namespace ConfiguredAcquisition
