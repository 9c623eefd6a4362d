#pragma once
// Fits the leads read from an input file to the analysis: the table's
// channels, at an analysis rate, quantised to the device's 16-bit scale.

#include "tools/cli/InputSignals.h"
#include "tools/cli/Recording.h"

namespace RecordingBuilder {
// False with a message when no lead of the input is a table channel or the
// rate cannot be converted.
bool build(const InputSignals &input, Recording *recording, QString *error);
}  // namespace RecordingBuilder
