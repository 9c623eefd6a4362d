#pragma once
// Reads a WFDB record (its .hea header and the signal files it names) into
// millivolt leads, checking every size and checksum the header states.

#include "tools/cli/InputSignals.h"

#include <QString>

namespace WfdbRecordReader {
// `recordPath` is PATH/NAME of the record, with or without ".hea". On failure
// returns false with a message naming the file and the fault.
bool read(const QString &recordPath, InputSignals *out, QString *error);
}  // namespace WfdbRecordReader
