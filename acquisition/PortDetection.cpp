#include "acquisition/PortDetection.h"

#include "acquisition/SerialPort.h"
#include "acquisition/SerialPortCatalog.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

namespace PortDetection {

QString findUsbDevicePort(const SerialPortCatalog &catalog) {
    const QList<SerialPortEntry> ports = catalog.ports();
    for (const SerialPortEntry &port : ports) {
        const QString description = port.description.toUpper().replace(QLatin1Char('_'), QLatin1Char(' '));
        if (description.startsWith(QLatin1String("TARVELIN ECG")) ||
            description.startsWith(QLatin1String("TARVELIN ERGO")))
            return port.portName;
    }
    for (const SerialPortEntry &port : ports)
        if (port.hasIds && port.vendorId == kUsbVendorId && port.productId == kUsbProductId) return port.portName;
    return QString();
}

QString requireUsbDevicePort(const SerialPortCatalog *catalog) {
    const QString port = findUsbDevicePort(catalog ? *catalog : SerialPortCatalog::system());
    if (port.isEmpty()) throw std::runtime_error("Device not found");
    return port;
}

bool probePort(const QString &portName, int readTimeoutMs) {
    try {
        SerialPort port;
        port.open(portName, SerialProfile::ecgLink(kProbeBaudRate));
        port.setReadTimeoutMs(readTimeoutMs);
        const char identify = kIdentify;
        if (!port.write(&identify, 1)) return false;
        char reply[kIdentifyReplyBytes];
        const int n = port.read(reply, kIdentifyReplyBytes);
        port.close();
        if (n <= 0) return false;
        const QString text = QString::fromLatin1(reply, n).trimmed().toLower();
        return text.contains(QLatin1String("ergo")) || text.contains(QLatin1String("ecg"));
    } catch (const std::exception &) {
        return false;  // a port that cannot be opened holds no device
    }
}

QStringList detectBluetoothDevices(const SerialPortCatalog &catalog, int probeReadTimeoutMs) {
    std::vector<std::pair<QString, QFuture<bool>>> probes;
    for (const SerialPortEntry &port : catalog.ports()) {
        if (!port.description.contains(QLatin1String("Bluetooth"), Qt::CaseInsensitive)) continue;
        const QString name = port.portName;
        probes.emplace_back(name, QtConcurrent::run(QThreadPool::globalInstance(), [name, probeReadTimeoutMs] {
                                return probePort(name, probeReadTimeoutMs);
                            }));
    }
    QStringList found;
    for (auto &probe : probes) {
        probe.second.waitForFinished();
        if (probe.second.result()) found << probe.first;
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace PortDetection
