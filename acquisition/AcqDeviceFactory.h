#pragma once
// Chooses and creates the acquisition source from the acquisition settings,
// and the raw sink that matches a source's parameters.

#include "analysis/SignalBuffer.h"

#include <QString>
#include <QStringList>
#include <memory>

class AcqDevice;
class SerialPortCatalog;

// The acquisition settings as the application reads them from its
// configuration (the factory itself never touches the settings store).
struct AcqSettings {
    QString mode;           // "", "demo" or "bluetooth-com"
    QString bluetoothPort;  // used with "bluetooth-com"
    double signalGain = 0;  // > 0 replaces a device's own +/- range (mV)
    bool hrProtocol = false;
};

namespace AcqDeviceFactory {

inline const char *const kDemoMode = "demo";
inline const char *const kBluetoothMode = "bluetooth-com";
inline const char *const kReplayFileName = "ecg500.dat";

// Where the demonstration recording is found: the first folder of
// `searchFolders` that holds it, or an empty string.
QString findReplayFile(const QStringList &searchFolders);

// Creates the source; throws std::runtime_error("Cannot open file") when the
// replay file is missing and ("Device not found") when no device is found
// (nothing detected, or the Bluetooth mode without a port).
// `replaySearchFolders`: current folder first, then the program's folder.
// `ports`: where USB detection looks (the system's ports when null).
std::unique_ptr<AcqDevice> createDevice(const AcqSettings &settings, bool tiltTest,
                                        const QStringList &replaySearchFolders,
                                        const SerialPortCatalog *ports = nullptr);

// The raw sample sink for a source: 16-bit ring with the source's channel
// count, rate, range, resolution and channel names.
std::unique_ptr<SignalBuffer> createRawSink(const AcqDevice &device, int blockSize = 4096, int capacity = 81920);

}  // namespace AcqDeviceFactory
