#include "tools/cli/RunOptions.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace {

// Values no patient has: a typing slip or a wrong field, refused before a
// study is made of them.
constexpr double kMinWeightKg = 2.0;
constexpr double kMaxWeightKg = 400.0;
constexpr int kMinAgeYears = 1;
constexpr int kMaxAgeYears = 120;
constexpr int kMinSystolic = 40;
constexpr int kMaxSystolic = 300;
constexpr int kMinDiastolic = 20;
constexpr int kMaxDiastolic = 200;

bool seconds(const QString &text, double *out) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || !(v >= 0.0)) return false;
    *out = v;
    return true;
}

QString checkedPressure(int systolic, int diastolic) {
    if (systolic < kMinSystolic || systolic > kMaxSystolic)
        return QStringLiteral("a systolic pressure of %1 mmHg is outside %2 to %3")
            .arg(systolic)
            .arg(kMinSystolic)
            .arg(kMaxSystolic);
    if (diastolic < kMinDiastolic || diastolic > kMaxDiastolic)
        return QStringLiteral("a diastolic pressure of %1 mmHg is outside %2 to %3")
            .arg(diastolic)
            .arg(kMinDiastolic)
            .arg(kMaxDiastolic);
    if (diastolic >= systolic)
        return QStringLiteral("the diastolic pressure (%1) must be below the systolic (%2)")
            .arg(diastolic)
            .arg(systolic);
    return QString();
}

}  // namespace

RunOptions RunOptions::parse(const QStringList &arguments) {
    RunOptions o;
    QString rate, channels;
    auto fail = [&o](const QString &message) {
        o.error = message;
        return o;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &flag = arguments[i];
        if (flag == QLatin1String("--help")) {
            o.helpRequested = true;
            return o;
        }
        if (!flag.startsWith(QLatin1String("--"))) return fail(QStringLiteral("unexpected argument \"%1\"").arg(flag));
        if (i + 1 >= arguments.size()) return fail(QStringLiteral("%1 needs a value").arg(flag));
        const QString value = arguments[++i];
        double t = 0.0;
        if (flag == QLatin1String("--store"))
            o.storePath = value;
        else if (flag == QLatin1String("--protocol"))
            o.protocolName = value;
        else if (flag == QLatin1String("--input"))
            o.input.inputPath = value;
        else if (flag == QLatin1String("--rate"))
            rate = value;
        else if (flag == QLatin1String("--channels"))
            channels = value;
        else if (flag == QLatin1String("--weight")) {
            bool ok = false;
            const double kg = value.toDouble(&ok);
            if (!ok || !(kg >= kMinWeightKg && kg <= kMaxWeightKg))
                return fail(QStringLiteral("--weight expects kilograms from %1 to %2, not \"%3\"")
                                .arg(kMinWeightKg)
                                .arg(kMaxWeightKg)
                                .arg(value));
            o.weight = value.toUtf8();
        } else if (flag == QLatin1String("--age")) {
            bool ok = false;
            const int years = value.toInt(&ok);
            if (!ok || years < kMinAgeYears || years > kMaxAgeYears)
                return fail(QStringLiteral("--age expects whole years from %1 to %2, not \"%3\"")
                                .arg(kMinAgeYears)
                                .arg(kMaxAgeYears)
                                .arg(value));
            o.age = value.toUtf8();
        } else if (flag == QLatin1String("--sex")) {
            if (value != QLatin1String("M") && value != QLatin1String("F"))
                return fail(QStringLiteral("--sex expects M or F"));
            o.sex = value.toUtf8();
        } else if (flag == QLatin1String("--last"))
            o.lastName = value.toUtf8();
        else if (flag == QLatin1String("--first"))
            o.firstName = value.toUtf8();
        else if (flag == QLatin1String("--bp")) {
            static const QRegularExpression form(QStringLiteral("^([0-9.]+):([0-9]+)/([0-9]+)$"));
            const QRegularExpressionMatch m = form.match(value);
            if (!m.hasMatch() || !seconds(m.captured(1), &t))
                return fail(QStringLiteral("--bp expects T:SBP/DBP, not \"%1\"").arg(value));
            const int systolic = m.captured(2).toInt();
            const int diastolic = m.captured(3).toInt();
            const QString wrong = checkedPressure(systolic, diastolic);
            if (!wrong.isEmpty()) return fail(QStringLiteral("--bp %1: %2").arg(value, wrong));
            o.pressures.push_back({t, systolic, diastolic});
        } else if (flag == QLatin1String("--next-at") || flag == QLatin1String("--recovery-at") ||
                   flag == QLatin1String("--stop-at")) {
            if (!seconds(value, &t)) return fail(QStringLiteral("%1 expects seconds, not \"%2\"").arg(flag, value));
            if (flag == QLatin1String("--next-at"))
                o.nextAt.push_back(t);
            else if (flag == QLatin1String("--recovery-at"))
                o.recoveryAt = t;
            else
                o.stopAt = t;
        } else {
            return fail(QStringLiteral("unknown option %1").arg(flag));
        }
    }
    if (o.storePath.isEmpty()) return fail(QStringLiteral("--store is required"));
    if (o.protocolName.isEmpty()) return fail(QStringLiteral("--protocol is required"));
    if (o.input.inputPath.isEmpty()) return fail(QStringLiteral("--input is required"));

    // A WFDB record states its own rate and leads; anything else is the
    // demonstration format.
    QString record = o.input.inputPath;
    if (record.endsWith(QLatin1String(".hea"))) record.chop(4);
    const bool wfdb = rate.isEmpty() && channels.isEmpty() && QFileInfo::exists(record + QStringLiteral(".hea"));
    if (wfdb) {
        o.input.input = BeatsOptions::Input::Wfdb;
        o.input.inputPath = record;
        return o;
    }
    o.input.input = BeatsOptions::Input::Raw;
    bool ok = true;
    if (!rate.isEmpty()) o.input.raw.rate = rate.toDouble(&ok);
    if (!ok || !std::isfinite(o.input.raw.rate) || o.input.raw.rate < 50.0)
        return fail(QStringLiteral("--rate expects samples per second"));
    if (!channels.isEmpty()) o.input.raw.channels = channels.toInt(&ok);
    if (!ok || o.input.raw.channels < 1 || o.input.raw.channels > 14)
        return fail(QStringLiteral("--channels expects 1 to 14"));
    return o;
}

QString RunOptions::helpText() {
    return QStringLiteral(
               "Usage: tarvelin-ecg-cli run --store DIR --protocol NAME --input FILE [--rate R --channels N]\n"
               "         [--weight KG] [--age N] [--sex M|F] [--last NAME] [--first NAME]\n"
               "         [--bp T:SBP/DBP ...] [--next-at T ...] [--recovery-at T] [--stop-at T]\n"
               "\n"
               "Runs a stress test through the monitoring engine, fed from a recording as fast\n"
               "as the CPU allows, into a new study of the store. T is seconds of recorded\n"
               "signal. Prints \"study ID\", then the stage table.\n"
               "\n"
               "  --input FILE     a WFDB record (its .hea header) or a demonstration format\n"
               "                   file: 16-bit frames at --rate [500] with --channels [14]\n"
               "  --weight KG      %1 to %2 kg\n"
               "  --age N          whole years, %3 to %4\n"
               "  --bp T:SBP/DBP   a pressure taken at T (repeat): systolic %5 to %6 mmHg,\n"
               "                   diastolic %7 to %8 mmHg and below the systolic\n"
               "  --next-at T      go to the next stage at T (repeat)\n"
               "  --recovery-at T  go to the first recovery stage at T\n"
               "  --stop-at T      stop at T [the end of the input]\n"
               "Times are seconds from 0; a command whose time the recording never reaches\n"
               "(past its end or after --stop-at) is not applied and is reported on standard\n"
               "error.\n")
        .arg(kMinWeightKg)
        .arg(kMaxWeightKg)
        .arg(kMinAgeYears)
        .arg(kMaxAgeYears)
        .arg(kMinSystolic)
        .arg(kMaxSystolic)
        .arg(kMinDiastolic)
        .arg(kMaxDiastolic);
}
