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

QJsonObject averageObject(const RestingMeasurements &average) {
    QJsonArray leads;
    for (const LeadRestingMeasurements &lead : average.leads)
        leads.append(QJsonObject{{QStringLiteral("lead"), lead.lead},
                                 {QStringLiteral("p_onset_ms"), optional(lead.pOnsetMs)},
                                 {QStringLiteral("qrs_onset_ms"), optional(lead.qrsOnsetMs)},
                                 {QStringLiteral("qrs_offset_ms"), optional(lead.qrsOffsetMs)},
                                 {QStringLiteral("t_offset_ms"), optional(lead.tOffsetMs)}});
    return QJsonObject{{QStringLiteral("qrs_axis_deg"), optional(average.qrsAxisDegrees)},
                       {QStringLiteral("leads"), leads}};
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
