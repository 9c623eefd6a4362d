#pragma once
// Texts of a trend plot's axis labels: numbers through a printf-style format
// and elapsed times through a clock pattern such as "mm:ss".

#include <QString>

namespace PlotLabelText {

// True when `format` holds exactly one floating-point conversion (flags,
// width and precision allowed) and otherwise only text and "%%". Anything
// else could read arguments that are not there.
bool isNumberFormat(const QString &format);

// `value` through `format`, or through "%g" when the format is not a
// number format.
QString number(const QString &format, double value);

// `seconds` since 0 as an elapsed time. "h"/"hh" are hours, "m"/"mm"
// minutes, "s"/"ss" seconds; a doubled letter pads to two digits. Without an
// hour field the minutes keep counting past 59 ("75:00"); other characters
// are copied. Negative times get a leading "-".
QString elapsed(const QString &pattern, double seconds);

}  // namespace PlotLabelText
