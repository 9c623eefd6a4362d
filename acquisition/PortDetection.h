#pragma once
// Finding the ECG front end among the serial ports: by USB description or
// ids, and by asking every Bluetooth serial port who answers.

#include <QString>
#include <QStringList>

class SerialPortCatalog;

namespace PortDetection {

constexpr char kIdentify = 0x0B;
constexpr int kIdentifyReplyBytes = 7;
constexpr int kProbeBaudRate = 230400;
constexpr int kProbeReadTimeoutMs = 10000;
constexpr quint16 kUsbVendorId = 0x04D8;
constexpr quint16 kUsbProductId = 0x00DF;

// The port of a USB-attached front end, or an empty string: the first port
// whose description (upper-cased, "_" read as a blank) starts with
// "TARVELIN ECG" or "TARVELIN ERGO", else the first with the front end's
// USB vendor and product ids.
QString findUsbDevicePort(const SerialPortCatalog &catalog);

// As findUsbDevicePort on `catalog` (the system's ports when null), but
// throws std::runtime_error("Device not found") when there is none.
QString requireUsbDevicePort(const SerialPortCatalog *catalog);

// True when a front end answers the identify command on `portName` within
// `readTimeoutMs`; a port that cannot be opened has no device.
bool probePort(const QString &portName, int readTimeoutMs = kProbeReadTimeoutMs);

// The Bluetooth serial ports on which a front end answers, in ascending
// name order; the candidates are probed in parallel on the global pool.
QStringList detectBluetoothDevices(const SerialPortCatalog &catalog, int probeReadTimeoutMs = kProbeReadTimeoutMs);

}  // namespace PortDetection
