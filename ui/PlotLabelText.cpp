#include "ui/PlotLabelText.h"

#include <cmath>

namespace PlotLabelText {

bool isNumberFormat(const QString &format) {
    int conversions = 0;
    for (int i = 0; i < format.size(); ++i) {
        if (format[i] != QLatin1Char('%')) continue;
        ++i;
        if (i < format.size() && format[i] == QLatin1Char('%')) continue;
        while (i < format.size() && QStringLiteral("-+ #0").contains(format[i])) ++i;
        while (i < format.size() && format[i].isDigit()) ++i;
        if (i < format.size() && format[i] == QLatin1Char('.')) {
            ++i;
            while (i < format.size() && format[i].isDigit()) ++i;
        }
        if (i >= format.size() || !QStringLiteral("eEfFgG").contains(format[i])) return false;
        ++conversions;
    }
    return conversions == 1;
}

QString number(const QString &format, double value) {
    const QString used = isNumberFormat(format) ? format : QStringLiteral("%g");
    return QString::asprintf(used.toLatin1().constData(), value);
}

QString elapsed(const QString &pattern, double seconds) {
    // Beyond any recording; also keeps the rounding below defined.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e12) return QString();
    const bool negative = seconds < 0.0;
    const qint64 total = static_cast<qint64>(std::llround(std::fabs(seconds)));
    const bool hasHours = pattern.contains(QLatin1Char('h'));
    const qint64 hours = total / 3600;
    const qint64 minutes = hasHours ? (total / 60) % 60 : total / 60;
    const qint64 secs = total % 60;

    QString text;
    if (negative && total > 0) text += QLatin1Char('-');
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        int run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        qint64 field = -1;
        if (c == QLatin1Char('h')) field = hours;
        if (c == QLatin1Char('m')) field = minutes;
        if (c == QLatin1Char('s')) field = secs;
        if (field >= 0)
            text += QStringLiteral("%1").arg(field, run, 10, QLatin1Char('0'));
        else
            text += QString(run, c);
        i += run;
    }
    return text;
}

}  // namespace PlotLabelText
