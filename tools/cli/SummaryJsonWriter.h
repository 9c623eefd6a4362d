#pragma once
// Writes the beat summary as JSON: input, heart rate, beat counts and the
// average beat's resting measurements; values not measured are null.

#include "tools/cli/BeatSummary.h"

#include <QByteArray>
#include <QString>

namespace SummaryJsonWriter {
QByteArray toJson(const BeatSummary &summary);
// Replaces `path` only once the whole file is written. False with a message
// otherwise.
bool write(const QString &path, const BeatSummary &summary, QString *error);
}  // namespace SummaryJsonWriter
