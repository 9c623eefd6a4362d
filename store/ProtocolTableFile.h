#pragma once
// Reads and writes the protocol table file, a JSON array of protocols.

#include "store/Protocol.h"

#include <QString>
#include <optional>
#include <vector>

namespace ProtocolTableFile {

// The protocols of the file in file order. Empty when there is nothing to
// use: no file, a document that does not parse, is not an array or is an
// empty array. Throws std::runtime_error "Cannot open protocol table" when
// the file exists but cannot be opened, "Cannot read protocol table" when it
// is empty.
std::optional<std::vector<Protocol>> read(const QString &path);

// Replaces the file atomically, so a crash or a full disk leaves the old
// table in place. Returns false, and leaves the old file, when the file
// cannot be written; the callers skip such a save silently.
bool write(const QString &path, const std::vector<Protocol> &protocols);

}  // namespace ProtocolTableFile
