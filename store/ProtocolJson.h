#pragma once
// The JSON form of protocols as kept in the protocol table file: type and
// phase as names, whole-second durations, and only the loads of the type.

#include "store/Protocol.h"

#include <QByteArray>
#include <QJsonObject>
#include <vector>

namespace ProtocolJson {

QJsonObject toJson(const Protocol &protocol);
// Unknown type or phase names fall back to treadmill and rest; a missing
// load reads as 0.
Protocol fromJson(const QJsonObject &object);
// The whole table as a compact array, members of each object in key order.
QByteArray serialise(const std::vector<Protocol> &protocols);

}  // namespace ProtocolJson
