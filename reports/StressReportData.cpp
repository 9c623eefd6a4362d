#include "reports/StressReportData.h"

#include "stress/StressMonitorTexts.h"

#include "reports/StageTableRows.h"
#include "reports/StressAverageBeats.h"
#include "reports/StudyReportFields.h"
#include "acquisition/FileSignal.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "store/StudyInfoConversion.h"
#include "store/ExerciseFindings.h"
#include "stress/ExerciseScores.h"
#include "stress/StressMonitorTexts.h"

#include <QCoreApplication>
#include <cmath>

namespace StressReportData {
namespace {

QString tr(const char *text) { return QCoreApplication::translate("StressReportData", text); }
QString text(const QByteArray &utf8) { return QString::fromUtf8(utf8).trimmed(); }
QString whole(double value) { return QString::number(static_cast<long long>(std::trunc(value))); }

QString minutesSeconds(double seconds) {
    const long long total = std::max(0LL, static_cast<long long>(std::trunc(seconds)));
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString protocolTypeName(ProtocolType type) {
    switch (type) {
    case ProtocolType::Treadmill: return tr("Treadmill");
    case ProtocolType::Ergometer: return tr("Ergometer");
    case ProtocolType::RestingEcg: return tr("Resting ECG");
    case ProtocolType::TiltTest: return tr("Tilt test");
    case ProtocolType::Pharmacologic: return tr("Pharmacologic");
    }
    return QString();
}

void fillProtocol(const Study &study, const ReportSettings &settings, ReportData &data) {
    const Protocol *recorded = study.protocol();
    data.declareRowSet(QStringLiteral("stage"));
    const bool has = recorded != nullptr;
    const ProtocolType type = has ? recorded->type : ProtocolType::Treadmill;
    data.setField(QStringLiteral("protocolName"), has ? recorded->name : QString());
    data.setField(QStringLiteral("protocolType"), has ? protocolTypeName(type) : QString());
    // Flags for columns that only some protocol types have; a template
    // shows such a column with if="...".
    const QString yes = QStringLiteral("1");
    data.setField(QStringLiteral("hasSpeed"), has && type == ProtocolType::Treadmill ? yes : QString());
    data.setField(QStringLiteral("hasIncline"), has && type == ProtocolType::Treadmill ? yes : QString());
    data.setField(QStringLiteral("hasWorkload"), has && type == ProtocolType::Ergometer ? yes : QString());
    data.setField(QStringLiteral("hasDose"), has && type == ProtocolType::Pharmacologic ? yes : QString());
    data.setField(QStringLiteral("workloadUnit"), StageTableRows::workloadLabel(settings.workloadUnit));
    double exercise = 0.0, total = 0.0;
    if (has) {
        for (int i = 0; i < recorded->stageCount(); ++i) {
            total += recorded->stage(i).duration;
            if (recorded->stage(i).phase == StagePhase::Exercise) exercise += recorded->stage(i).duration;
        }
        for (const ReportData::Row &row : StageTableRows::rows(*recorded, study.results(), settings.workloadUnit))
            data.addRow(QStringLiteral("stage"), row);
    }
    data.setField(QStringLiteral("exerciseDuration"), minutesSeconds(exercise));
    data.setField(QStringLiteral("totalDuration"), minutesSeconds(total));
}

void fillMaxima(const Study &study, const StudyInfo &info, ReportData &data) {
    const StudyResults &r = study.results();
    const double maxHr = r.scalar(Result::MaxBpm);
    bool ageKnown = false;
    const int age = text(info.patientAge).toInt(&ageKnown);
    const int predicted = ageKnown ? predictedMaxHeartRate(age) : 0;
    data.setField(QStringLiteral("maxHR"), whole(maxHr));
    data.setField(QStringLiteral("predictedMaxHR"), predicted > 0 ? QString::number(predicted) : QString());
    data.setField(QStringLiteral("maxHRPercent"),
                  predicted > 0 ? QString::number(std::lround(100.0 * maxHr / predicted)) : QString());
    data.setField(QStringLiteral("maxMETS"), QString::number(r.scalar(Result::MaxMets), 'f', 1));
    data.setField(QStringLiteral("maxVO2"), QString::number(r.scalar(Result::MaxVo2), 'f', 1));
    data.setField(QStringLiteral("maxSysBP"), whole(r.scalar(Result::MaxSysBp)));
    data.setField(QStringLiteral("maxDiaBP"), whole(r.scalar(Result::MaxDiaBp)));
    data.setField(QStringLiteral("maxDP"), whole(r.scalar(Result::MaxDp)));
}

// The computed scores read "not available" when their data are missing; the
// reviewer's findings stay empty until recorded, so the template can leave
// their lines out.
void fillScores(const Study &study, ReportData &data) {
    const ExerciseScores scores = ExerciseScores::compute(study);
    data.setField(QStringLiteral("dukeScore"), ExerciseScoreTexts::duke(scores));
    data.setField(QStringLiteral("heartRateRecovery"), ExerciseScoreTexts::heartRateRecovery(scores));
    data.setField(QStringLiteral("chronotropicIndex"), ExerciseScoreTexts::chronotropicIndex(scores));
    data.setField(QStringLiteral("metsAgainstPredicted"), ExerciseScoreTexts::mets(scores));
    const auto reason = ExerciseFindings::stopReason(study);
    const QString detail = ExerciseFindings::stopReasonText(study).trimmed();
    QString stop = reason ? ExerciseFindings::label(*reason) : QString();
    if (!detail.isEmpty()) stop = stop.isEmpty() ? detail : QStringLiteral("%1: %2").arg(stop, detail);
    data.setField(QStringLiteral("stopReason"), stop);
    const auto angina = ExerciseFindings::angina(study);
    data.setField(QStringLiteral("angina"), angina ? ExerciseFindings::label(*angina) : QString());
}

void fillEvents(const Study &study, ReportData &data) {
    data.declareRowSet(QStringLiteral("event"));
    for (int i = 0; i < study.eventCount(); ++i) {
        const StudyEvent &event = study.event(i);
        ReportData::Row row;
        row.insert(QStringLiteral("index"), QString::number(i));
        row.insert(QStringLiteral("description"), text(event.description));
        row.insert(QStringLiteral("time"), minutesSeconds(event.position));
        row.insert(QStringLiteral("duration"), QString::number(event.duration, 'f', 0));
        data.addRow(QStringLiteral("event"), row);
    }
}

// ST of every lead at rest, peak and recovery, in mm at 10 mm/mV as the
// monitor shows them; empty where no beat could be averaged.
void fillLeads(const Study &study, ReportData &data) {
    data.declareRowSet(QStringLiteral("lead"));
    if (!study.recording()) return;
    StressAverageBeats averages(study);
    const std::pair<StressAverageBeats::Moment, const char *> moments[] = {
        {StressAverageBeats::Moment::Rest, "rest"},
        {StressAverageBeats::Moment::Peak, "peak"},
        {StressAverageBeats::Moment::Recovery, "recovery"}};
    for (int channel : averages.channels()) {
        ReportData::Row row;
        row.insert(QStringLiteral("name"), study.recording()->channelName(channel));
        for (const auto &[moment, name] : moments) {
            AverageBeatView view;
            const bool measured = averages.view(moment, channel, &view) && view.stValid;
            row.insert(QLatin1String(name) + QStringLiteral("ST"),
                       measured ? StressMonitorTexts::oneDecimal(10.0 * view.levelMv) : QString());
            row.insert(QLatin1String(name) + QStringLiteral("Slope"),
                       measured ? StressMonitorTexts::oneDecimal(10.0 * view.slopeMvPerSecond) : QString());
        }
        data.addRow(QStringLiteral("lead"), row);
    }
}

}  // namespace

void fillHeader(const Study &study, const ReportSettings &settings, ReportData &data) {
    const StudyInfo info = infoFromStudy(study);
    StudyReportFields::fillSettings(settings, data);
    StudyReportFields::fillPatientAndStudy(info, data);
    fillProtocol(study, settings, data);
}

int predictedMaxHeartRate(int ageYears) {
    const auto predicted = ExerciseScores::predictedMaxHeartRate(ageYears);
    return predicted ? static_cast<int>(*predicted) : 0;
}

ReportData fill(const Study &study, const ReportSettings &settings) {
    ReportData data(&study);
    const StudyInfo info = infoFromStudy(study);
    fillHeader(study, settings, data);
    fillMaxima(study, info, data);
    fillScores(study, data);
    fillEvents(study, data);
    fillLeads(study, data);
    return data;
}

}  // namespace StressReportData
