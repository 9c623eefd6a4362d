#include "reports/StudyReportFields.h"

#include "store/StudyInfo.h"

#include <QDateTime>
#include <QStringList>

namespace StudyReportFields {
namespace {
QString text(const QByteArray &utf8) { return QString::fromUtf8(utf8).trimmed(); }
}  // namespace

QString dateTime(const QByteArray &stamp, const QString &format) {
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(stamp), QStringLiteral("yyyyMMddHHmmss"));
    return t.isValid() ? t.toString(format) : QString();
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

}  // namespace StudyReportFields
