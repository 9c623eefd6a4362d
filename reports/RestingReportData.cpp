#include "reports/RestingReportData.h"

#include "acquisition/FileSignal.h"
#include "analysis/RestingValues.h"
#include "reports/ReportGraphics.h"
#include "reports/StudyReportFields.h"
#include "store/Study.h"
#include "store/StudyInfoConversion.h"
#include "ui/EcgPaperScale.h"

#include <cmath>

namespace RestingReportData {
namespace {

// An interval stored in seconds, printed in whole milliseconds; 0 is the
// measurement's "not found" and an absent series a study never measured.
QString milliseconds(const StudyResults &results, Result name) {
    if (!results.contains(name)) return QString();
    const double seconds = results.scalar(name);
    return seconds > 0.0 ? QString::number(std::lround(1000.0 * seconds)) : QString();
}

QString degrees(const StudyResults &results, Result name) {
    if (!results.contains(name)) return QString();
    const double value = results.scalar(name);
    return value == kNoAxis || !std::isfinite(value) ? QString() : QString::number(std::lround(value));
}

void fillMeasurements(const StudyResults &r, ReportData &data) {
    const bool rate = r.contains(Result::GlobalHeartRate) && r.scalar(Result::GlobalHeartRate) > 0.0;
    data.setField(QStringLiteral("heartRate"),
                  rate ? QString::number(std::lround(r.scalar(Result::GlobalHeartRate))) : QString());
    data.setField(QStringLiteral("prInterval"), milliseconds(r, Result::GlobalPr));
    data.setField(QStringLiteral("pDuration"), milliseconds(r, Result::GlobalPDuration));
    data.setField(QStringLiteral("qrsDuration"), milliseconds(r, Result::GlobalQrsDuration));
    data.setField(QStringLiteral("qtInterval"), milliseconds(r, Result::GlobalQt));
    data.setField(QStringLiteral("qtcBazett"), milliseconds(r, Result::GlobalQtcBazett));
    data.setField(QStringLiteral("qtcFridericia"), milliseconds(r, Result::GlobalQtcFridericia));
    data.setField(QStringLiteral("pAxis"), degrees(r, Result::GlobalPAxis));
    data.setField(QStringLiteral("qrsAxis"), degrees(r, Result::GlobalQrsAxis));
    data.setField(QStringLiteral("tAxis"), degrees(r, Result::GlobalTAxis));
}

void fillPaper(const Study &study, const ReportSettings &settings, ReportData &data) {
    const FileSignal *signal = study.recording();
    const double seconds =
        signal && signal->samplingRate() > 0 ? static_cast<double>(signal->length()) / signal->samplingRate() : 0.0;
    data.setField(QStringLiteral("recordingSeconds"), QString::number(seconds, 'f', 1));
    data.setField(QStringLiteral("ecgSpeed"), QString::number(EcgPaperScale::kStandardSpeed));
    data.setField(QStringLiteral("ecgGain"), QString::number(EcgPaperScale::kStandardGain));
    data.setField(QStringLiteral("ecgFilters"), ReportGraphics::filterText(true));
    for (const char *layout : {"12by1", "6by2", "4by3"})
        data.setField(QStringLiteral("layout") + QLatin1String(layout),
                      settings.traceLayout == QLatin1String(layout) ? QStringLiteral("1") : QString());
}

}  // namespace

ReportData fill(const Study &study, const ReportSettings &settings) {
    ReportData data(&study);
    StudyReportFields::fillSettings(settings, data);
    StudyReportFields::fillPatientAndStudy(infoFromStudy(study), data);
    fillMeasurements(study.results(), data);
    fillPaper(study, settings, data);
    return data;
}

}  // namespace RestingReportData
