#pragma once
// Reads a WFDB record (its .hea header and the signal files it names) into
// millivolt leads, checking every size and checksum the header states.

#include "tools/cli/SignalBlockReader.h"

#include <QString>
#include <memory>

namespace WfdbRecordReader {
// `recordPath` is PATH/NAME of the record, with or without ".hea". Every
// file must be a regular file inside the header's folder; every checksum is
// verified while opening. Null with a message naming the file and the fault.
std::unique_ptr<SignalBlockReader> open(const QString &recordPath, QString *error);
// The whole record at once.
bool read(const QString &recordPath, InputSignals *out, QString *error);
}  // namespace WfdbRecordReader
