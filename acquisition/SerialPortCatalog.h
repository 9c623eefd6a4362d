#pragma once
// The serial ports the system offers, with what detection needs to know of
// each; a seam so detection can be tested on made-up port lists.

#include <QList>
#include <QString>
#include <cstdint>

struct SerialPortEntry {
    QString portName;
    QString description;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool hasIds = false;  // USB vendor and product id known
};

class SerialPortCatalog {
public:
    virtual ~SerialPortCatalog() = default;
    virtual QList<SerialPortEntry> ports() const = 0;
    // The ports present on this machine now.
    static const SerialPortCatalog &system();
};
