#include "stress/RestingEcgMeasurements.h"

#include "analysis/AverageBeatBuilder.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

QString milliseconds(const std::optional<double> &seconds) {
    if (!seconds || *seconds <= 0.0) return QStringLiteral("-");
    return QString::number(std::lround(*seconds * 1000.0));
}

QString degrees(const std::optional<double> &value) {
    if (!value || *value == kNoAxis) return QStringLiteral("-");
    return QString::number(std::lround(*value)) + QChar(0x00B0);
}

}  // namespace

std::vector<std::pair<ResultName, double>> RestingEcgMeasurements::entries() const {
    std::vector<std::pair<ResultName, double>> all = resting.entries();
    for (const auto &entry : global.entries()) all.push_back(entry);
    return all;
}

QStringList RestingEcgMeasurements::tableHeaders() {
    // Marked so that the catalogue tools find them; translated here.
    static const char *const kHeaders[] = {QT_TRANSLATE_NOOP("RestingEcgMeasurements", "HR (bpm)"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "PR (ms)"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "P (ms)"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "QRS (ms)"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "QT (ms)"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "QTc (ms)"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "P axis"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "QRS axis"),
                                           QT_TRANSLATE_NOOP("RestingEcgMeasurements", "T axis")};
    QStringList headers;
    for (const char *header : kHeaders) headers << QCoreApplication::translate("RestingEcgMeasurements", header);
    return headers;
}

QStringList RestingEcgMeasurements::tableValues() const {
    const QString rate = global.heartRateBpm && *global.heartRateBpm > 0.0
                             ? QString::number(std::lround(*global.heartRateBpm))
                             : QStringLiteral("-");
    return {rate,
            milliseconds(global.pr),
            milliseconds(global.pDuration),
            milliseconds(global.qrsDuration),
            milliseconds(global.qt),
            milliseconds(global.qtcBazett),
            degrees(global.pAxis),
            degrees(global.qrsAxis),
            degrees(global.tAxis)};
}

int restingMeasurementLead(const std::vector<QString> &channelNames) {
    const auto lead2 = std::find(channelNames.begin(), channelNames.end(), QStringLiteral("II"));
    return lead2 != channelNames.end() ? static_cast<int>(lead2 - channelNames.begin()) : 0;
}

RestingEcgMeasurements measureRestingEcg(AverageBeatBuilder &averages, const std::vector<QString> &channelNames,
                                         int rate) {
    RestingEcgMeasurements m;
    m.beatCount = averages.beatCount();
    // Without a beat the averages are all zeros: the starting values say
    // "not measured", where a measurement of zeros could read as a result.
    if (m.beatCount == 0 || rate <= 0) return m;
    std::vector<std::vector<double>> leads;
    for (int k = 0; k < averages.leadCount(); ++k) leads.push_back(averages.average(k));
    const double meanRr = averages.meanRr();
    m.resting = restingValues(leads, channelNames, rate, restingMeasurementLead(channelNames), meanRr);
    m.global = measureGlobal(leads, channelNames, rate, meanRr);
    return m;
}
