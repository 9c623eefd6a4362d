#pragma once
// The fields every kind of report shares: the practice's header and
// signature, the patient and the study data, each as printable text.

#include "reports/ReportData.h"
#include "reports/ReportSettings.h"

#include <QByteArray>
#include <QString>

struct StudyInfo;

namespace StudyReportFields {

// headerTitle, headerInfo, headerLogo, signatureName, signatureLicense,
// signatureImage, traceLayout, rhythmLead.
void fillSettings(const ReportSettings &settings, ReportData &data);
// patientName ("Last, First") and the other patient fields, studyId,
// studyDate, the people, indication, medication, risk factors, comments and
// conclusion.
void fillPatientAndStudy(const StudyInfo &info, ReportData &data);

// A stored "yyyyMMddHHmmss" stamp as `format`; empty while the study has none.
QString dateTime(const QByteArray &stamp, const QString &format);

}  // namespace StudyReportFields
