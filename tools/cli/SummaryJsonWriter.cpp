#include "tools/cli/SummaryJsonWriter.h"

#include "tools/cli/OutputFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace SummaryJsonWriter {
namespace {

// A tenth of a unit is finer than any of these values is known to.
QJsonValue rounded(double value) { return std::round(value * 10.0) / 10.0; }

QJsonValue optional(const std::optional<double> &value) {
    return value && std::isfinite(*value) ? rounded(*value) : QJsonValue(QJsonValue::Null);
}

QJsonObject inputObject(const InputDescription &input) {
    return QJsonObject{{QStringLiteral("source"), input.source},
                       {QStringLiteral("rate_hz"), input.inputRate},
                       {QStringLiteral("analysis_rate_hz"), input.analysisRate},
                       {QStringLiteral("duration_s"), rounded(input.seconds)},
                       {QStringLiteral("channels"), QJsonArray::fromStringList(input.channels)},
                       {QStringLiteral("missing_channel_count"), input.missingChannels.size()},
                       {QStringLiteral("missing_channels"), QJsonArray::fromStringList(input.missingChannels)},
                       {QStringLiteral("unmapped_leads"), QJsonArray::fromStringList(input.unmappedLeads)}};
}

std::optional<double> milliseconds(const std::optional<double> &seconds) {
    if (!seconds) return std::nullopt;
    return 1000.0 * *seconds;
}

QJsonObject globalObject(const GlobalMeasurement &g) {
    return QJsonObject{{QStringLiteral("p_onset_ms"), optional(milliseconds(g.pOnset))},
                       {QStringLiteral("p_offset_ms"), optional(milliseconds(g.pOffset))},
                       {QStringLiteral("qrs_onset_ms"), optional(milliseconds(g.qrsOnset))},
                       {QStringLiteral("qrs_offset_ms"), optional(milliseconds(g.qrsOffset))},
                       {QStringLiteral("t_offset_ms"), optional(milliseconds(g.tOffset))},
                       {QStringLiteral("pr_ms"), optional(milliseconds(g.pr))},
                       {QStringLiteral("p_ms"), optional(milliseconds(g.pDuration))},
                       {QStringLiteral("qrs_ms"), optional(milliseconds(g.qrsDuration))},
                       {QStringLiteral("qt_ms"), optional(milliseconds(g.qt))},
                       {QStringLiteral("qtc_bazett_ms"), optional(milliseconds(g.qtcBazett))},
                       {QStringLiteral("qtc_fridericia_ms"), optional(milliseconds(g.qtcFridericia))},
                       {QStringLiteral("heart_rate_bpm"), optional(g.heartRateBpm)},
                       {QStringLiteral("p_axis_deg"), optional(g.pAxis)},
                       {QStringLiteral("qrs_axis_deg"), optional(g.qrsAxis)},
                       {QStringLiteral("t_axis_deg"), optional(g.tAxis)}};
}

QJsonObject averageObject(const RestingMeasurements &average) {
    QJsonArray leads;
    for (const LeadRestingMeasurements &lead : average.leads)
        leads.append(QJsonObject{{QStringLiteral("lead"), lead.lead},
                                 {QStringLiteral("p_onset_ms"), optional(lead.pOnsetMs)},
                                 {QStringLiteral("qrs_onset_ms"), optional(lead.qrsOnsetMs)},
                                 {QStringLiteral("qrs_offset_ms"), optional(lead.qrsOffsetMs)},
                                 {QStringLiteral("t_offset_ms"), optional(lead.tOffsetMs)}});
    return QJsonObject{{QStringLiteral("qrs_axis_deg"), optional(average.qrsAxisDegrees)},
                       {QStringLiteral("leads"), leads},
                       {QStringLiteral("global"), globalObject(average.global)}};
}

}  // namespace

QByteArray toJson(const BeatSummary &summary) {
    const BeatCounts &beats = summary.beats;
    const QJsonObject root{
        {QStringLiteral("input"), inputObject(summary.input)},
        {QStringLiteral("heart_rate_bpm"), optional(beats.meanHeartRateBpm)},
        {QStringLiteral("beats"), QJsonObject{{QStringLiteral("total"), static_cast<double>(beats.total)},
                                              {QStringLiteral("normal"), static_cast<double>(beats.normal)},
                                              {QStringLiteral("premature"), static_cast<double>(beats.premature)}}},
        {QStringLiteral("average_beat"), averageObject(summary.average)}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool write(const QString &path, const BeatSummary &summary, QString *error) {
    OutputFile file(path);
    if (!file.open() || !file.write(toJson(summary)) || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace SummaryJsonWriter
