#pragma once
// Reads the demonstration format: headerless frames of 16-bit little-endian
// samples, one per channel in the channel table's order.

#include "analysis/FrontEndRange.h"
#include "tools/cli/SignalBlockReader.h"

#include <QString>
#include <memory>

struct RawFormat {
    static constexpr double kDefaultRangeMv = FrontEndRange::kRangeMv;
    double rate = 500.0;
    int channels = 14;
    double rangeMv = kDefaultRangeMv;  // mV = sample x 2 rangeMv / 65536
};

namespace RawRecordingReader {
// Null with a message for a file that cannot be read (or is no regular file)
// or holds no whole frame; a trailing partial frame is left out with a warning.
std::unique_ptr<SignalBlockReader> open(const QString &path, const RawFormat &format, QString *error);
// The whole file at once.
bool read(const QString &path, const RawFormat &format, InputSignals *out, QString *error);
}  // namespace RawRecordingReader
