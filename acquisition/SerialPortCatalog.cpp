#include "acquisition/SerialPortCatalog.h"

#include <QSerialPortInfo>

namespace {
class SystemSerialPortCatalog final : public SerialPortCatalog {
public:
    QList<SerialPortEntry> ports() const override {
        QList<SerialPortEntry> entries;
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
            SerialPortEntry e;
            e.portName = info.portName();
            e.description = info.description();
            e.hasIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
            e.vendorId = info.vendorIdentifier();
            e.productId = info.productIdentifier();
            entries << e;
        }
        return entries;
    }
};
}  // namespace

const SerialPortCatalog &SerialPortCatalog::system() {
    static SystemSerialPortCatalog catalog;
    return catalog;
}
