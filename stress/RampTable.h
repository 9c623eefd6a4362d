#pragma once
// The treadmill ramps by name, kept in their own file beside the protocol
// table ("data/ramps.json" under the store root) so the table's format stays
// as it is. Loaded on construction, rewritten whole and atomically after
// every change.

#include "stress/RampProtocol.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

class RampTable {
public:
    // An absent file is an empty table. Throws std::runtime_error "Cannot
    // open ramp table" when the file cannot be opened and "Cannot read ramp
    // table" when it does not hold a ramp list, so a damaged file is never
    // saved over.
    explicit RampTable(const QString &filePath);

    static QString filePathUnder(const QString &root);

    // Ascending byte order of their UTF-8 form, as the protocol names.
    QStringList names() const;
    // False, leaving `out` alone, when there is no such ramp.
    bool ramp(const QString &name, RampProtocol &out) const;
    // Insert or replace (the stored copy is named `name`), then save. Throws
    // "Cannot write ramp table" when the file cannot be replaced; the table
    // in memory then stays as it was.
    void setRamp(const QString &name, const RampProtocol &ramp);
    void removeRamp(const QString &name);

private:
    void save(const std::map<QByteArray, RampProtocol> &ramps) const;

    QString filePath_;
    std::map<QByteArray, RampProtocol> ramps_;
};
