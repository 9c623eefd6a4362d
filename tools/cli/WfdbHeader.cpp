#include "tools/cli/WfdbHeader.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <limits>

namespace {

constexpr double kDefaultGain = 200.0;  // what a gain of 0 (uncalibrated) stands for

bool toInt(const QString &text, int *out) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok) *out = value;
    return ok;
}

bool toFiniteDouble(const QString &text, double *out) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

class LineParser {
public:
    LineParser(int lineNumber, QString *error) : lineNumber_(lineNumber), error_(error) {}

    bool fail(const QString &message) {
        *error_ = QStringLiteral("line %1: %2").arg(lineNumber_).arg(message);
        return false;
    }

    bool recordLine(const QStringList &fields, WfdbHeader *header, int *signalCount) {
        if (fields.size() < 2) return fail(QStringLiteral("the record line needs a name and a number of signals"));
        // "name/segments" announces a record made of other records.
        if (fields[0].contains(QLatin1Char('/')))
            return fail(QStringLiteral("multi-segment records are not supported"));
        header->recordName = fields[0];
        if (!toInt(fields[1], signalCount) || *signalCount < 0)
            return fail(QStringLiteral("bad number of signals \"%1\"").arg(fields[1]));
        if (*signalCount == 0) return fail(QStringLiteral("the record has no signals"));
        if (fields.size() > 2) {
            // "360", "360/1" or "360/1(0)": the frame rate comes before any
            // counter frequency.
            const QString rate = fields[2].section(QRegularExpression(QStringLiteral("[/(]")), 0, 0);
            if (!toFiniteDouble(rate, &header->samplingRate) || header->samplingRate <= 0.0)
                return fail(QStringLiteral("bad sampling frequency \"%1\"").arg(fields[2]));
        }
        if (fields.size() > 3) {
            bool ok = false;
            const qlonglong count = fields[3].toLongLong(&ok);
            if (!ok || count < 0) return fail(QStringLiteral("bad number of samples \"%1\"").arg(fields[3]));
            // WFDB writes 0 when the length is unknown.
            if (count > 0) header->sampleCount = count;
        }
        return true;
    }

    bool signalLine(const QStringList &fields, WfdbSignalLine *signal) {
        if (fields.size() < 2) return fail(QStringLiteral("a signal line needs a file name and a format"));
        signal->fileName = fields[0];
        if (signal->fileName == QLatin1String("-"))
            return fail(QStringLiteral("signals on standard input are not supported"));
        if (!format(fields[1], signal)) return false;
        if (fields.size() > 3 && !integer(fields[3], QStringLiteral("ADC resolution"), &signal->adcResolution))
            return false;
        if (fields.size() > 4 && !integer(fields[4], QStringLiteral("ADC zero"), &signal->adcZero)) return false;
        // Parsed after the ADC zero, which is the baseline's default.
        signal->baseline = signal->adcZero;
        if (fields.size() > 2 && !gain(fields[2], signal)) return false;
        int value = 0;
        if (fields.size() > 5) {
            if (!integer(fields[5], QStringLiteral("initial value"), &value)) return false;
            signal->initialValue = value;
        }
        if (fields.size() > 6) {
            if (!integer(fields[6], QStringLiteral("checksum"), &value)) return false;
            signal->checksum = value;
        }
        if (fields.size() > 7 && !integer(fields[7], QStringLiteral("block size"), &value)) return false;
        if (fields.size() > 8) signal->description = fields.mid(8).join(QLatin1Char(' '));
        return true;
    }

private:
    bool integer(const QString &text, const QString &what, int *out) {
        if (!toInt(text, out)) return fail(QStringLiteral("bad %1 \"%2\"").arg(what, text));
        return true;
    }

    // "212", "16+512" (byte offset); several samples per frame and skew are
    // refused rather than read wrongly.
    bool format(const QString &field, WfdbSignalLine *signal) {
        static const QRegularExpression pattern(QStringLiteral("^(\\d+)(x\\d+)?(:-?\\d+)?(\\+\\d+)?$"));
        const QRegularExpressionMatch match = pattern.match(field);
        if (!match.hasMatch()) return fail(QStringLiteral("bad format \"%1\"").arg(field));
        if (!toInt(match.captured(1), &signal->format)) return fail(QStringLiteral("bad format \"%1\"").arg(field));
        if (!match.captured(2).isEmpty() && match.captured(2) != QLatin1String("x1"))
            return fail(QStringLiteral("several samples per frame (\"%1\") are not supported").arg(field));
        if (!match.captured(3).isEmpty() && match.captured(3).mid(1).toInt() != 0)
            return fail(QStringLiteral("skewed signals (\"%1\") are not supported").arg(field));
        if (!match.captured(4).isEmpty()) {
            bool ok = false;
            signal->byteOffset = match.captured(4).mid(1).toLongLong(&ok);
            if (!ok) return fail(QStringLiteral("bad byte offset in \"%1\"").arg(field));
        }
        return true;
    }

    // "200", "200(0)", "200/mV", "2000(-12)/uV".
    bool gain(const QString &field, WfdbSignalLine *signal) {
        static const QRegularExpression pattern(QStringLiteral("^([^(/]+)(\\(([^)]*)\\))?(/(.+))?$"));
        const QRegularExpressionMatch match = pattern.match(field);
        if (!match.hasMatch() || !toFiniteDouble(match.captured(1), &signal->gain) || signal->gain < 0.0)
            return fail(QStringLiteral("bad gain \"%1\"").arg(field));
        if (signal->gain == 0.0) signal->gain = kDefaultGain;
        if (!match.captured(2).isEmpty() && !toFiniteDouble(match.captured(3), &signal->baseline))
            return fail(QStringLiteral("bad baseline in \"%1\"").arg(field));
        if (!match.captured(4).isEmpty()) signal->units = match.captured(5);
        return true;
    }

    int lineNumber_;
    QString *error_;
};

}  // namespace

bool WfdbHeader::parse(const QString &text, WfdbHeader *header, QString *error) {
    *header = WfdbHeader();
    const QStringList lines = text.split(QLatin1Char('\n'));
    int signalCount = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        LineParser parser(i + 1, error);
        if (signalCount < 0) {
            if (!parser.recordLine(fields, header, &signalCount)) return false;
            continue;
        }
        if (static_cast<int>(header->signalLines.size()) == signalCount)
            return parser.fail(
                QStringLiteral("more signal lines than the %1 the record line announces").arg(signalCount));
        WfdbSignalLine signal;
        if (!parser.signalLine(fields, &signal)) return false;
        header->signalLines.push_back(signal);
    }
    if (signalCount < 0) {
        *error = QStringLiteral("no record line");
        return false;
    }
    if (static_cast<int>(header->signalLines.size()) != signalCount) {
        *error = QStringLiteral("the record line announces %1 signals but %2 are described")
                     .arg(signalCount)
                     .arg(header->signalLines.size());
        return false;
    }
    return true;
}
