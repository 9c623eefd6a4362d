#include "reports/StressReportData.h"

#include "reports/StageTableRows.h"
#include "reports/StressAverageBeats.h"
#include "acquisition/FileSignal.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "store/StudyInfoConversion.h"

#include <QCoreApplication>
#include <QDateTime>
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

// "yyyyMMddHHmmss" as a date and time; empty while the study has none.
QString dateTime(const QByteArray &stamp, const QString &format) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(stamp), QStringLiteral("yyyyMMddHHmmss"));
    return t.isValid() ? t.toString(format) : QString();
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

void fillPatientAndStudy(const StudyInfo &info, ReportData &data) {
    const QString last = text(info.patientLastName), first = text(info.patientFirstName);
    data.setField(QStringLiteral("patientName"),
                  last.isEmpty() || first.isEmpty() ? last + first : QStringLiteral("%1, %2").arg(last, first));
    data.setField(QStringLiteral("patientFirstName"), first);
    data.setField(QStringLiteral("patientLastName"), last);
    data.setField(QStringLiteral("patientId"), text(info.patientPersonIdNumber));
    data.setField(QStringLiteral("patientSex"), text(info.patientSex));
    data.setField(QStringLiteral("patientBirthDate"), text(info.patientBirthDate));
    data.setField(QStringLiteral("patientAge"), text(info.patientAge));
    data.setField(QStringLiteral("patientWeight"), text(info.patientWeight));
    data.setField(QStringLiteral("patientHeight"), text(info.patientHeight));
    data.setField(QStringLiteral("medicalHistoryNumber"), text(info.patientMedicalHistoryNumber));
    data.setField(QStringLiteral("studyId"), QString::number(info.id));
    data.setField(QStringLiteral("studyDate"), dateTime(info.studyDateTime, QStringLiteral("yyyy-MM-dd HH:mm")));
    data.setField(QStringLiteral("institutionName"), text(info.institutionName));
    data.setField(QStringLiteral("doctorName"), text(info.doctorName));
    data.setField(QStringLiteral("referringDoctorName"), text(info.referringDoctorName));
    data.setField(QStringLiteral("technicianName"), text(info.technicianName));
    data.setField(QStringLiteral("indication"), text(info.indication));
    data.setField(QStringLiteral("medication"), text(info.treatment));
    data.setField(QStringLiteral("comments"), text(info.comments));
    data.setField(QStringLiteral("conclusion"), text(info.conclusion));
    QStringList factors;
    for (const RiskFactor &factor : info.riskFactors) {
        if (!factor.checked) continue;
        const QString comment = text(factor.comment);
        factors << (comment.isEmpty() ? text(factor.name) : QStringLiteral("%1 (%2)").arg(text(factor.name), comment));
    }
    data.setField(QStringLiteral("riskFactors"), factors.join(QStringLiteral(", ")));
}

void fillSettings(const ReportSettings &settings, ReportData &data) {
    data.setField(QStringLiteral("headerTitle"), settings.headerTitle);
    data.setField(QStringLiteral("headerInfo"), settings.headerInfo);
    data.setField(QStringLiteral("headerLogo"), settings.headerLogoFilename);
    data.setField(QStringLiteral("signatureName"), settings.signatureName);
    data.setField(QStringLiteral("signatureLicense"), settings.signatureLicense);
    data.setField(QStringLiteral("signatureImage"), settings.signatureFilename);
    data.setField(QStringLiteral("traceLayout"), settings.traceLayout);
    data.setField(QStringLiteral("rhythmLead"), settings.rhythmLead);
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
                       measured ? QString::number(10.0 * view.levelMv, 'f', 1) : QString());
            row.insert(QLatin1String(name) + QStringLiteral("Slope"),
                       measured ? QString::number(10.0 * view.slopeMvPerSecond, 'f', 1) : QString());
        }
        data.addRow(QStringLiteral("lead"), row);
    }
}

}  // namespace

void fillHeader(const Study &study, const ReportSettings &settings, ReportData &data) {
    const StudyInfo info = infoFromStudy(study);
    fillSettings(settings, data);
    fillPatientAndStudy(info, data);
    fillProtocol(study, settings, data);
}

int predictedMaxHeartRate(int ageYears) { return ageYears > 0 && ageYears < 220 ? 220 - ageYears : 0; }

ReportData fill(const Study &study, const ReportSettings &settings) {
    ReportData data(&study);
    const StudyInfo info = infoFromStudy(study);
    fillHeader(study, settings, data);
    fillMaxima(study, info, data);
    fillEvents(study, data);
    fillLeads(study, data);
    return data;
}

}  // namespace StressReportData
