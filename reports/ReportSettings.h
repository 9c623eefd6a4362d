#pragma once
// What the practice set for its reports (header, signature, trace layout,
// rhythm lead, workload unit). The caller reads the settings and hands them
// in, so the report library never touches the settings store.

#include <QString>

struct ReportSettings {
    QString headerTitle;
    QString headerInfo;
    QString headerLogoFilename;
    QString signatureName;
    QString signatureLicense;
    QString signatureFilename;
    // "12by1", "6by2" or "4by3"; a resting ECG's report template follows it
    // (ecgreport1, ecgreport2, ecgreport3; see ReportKind).
    QString traceLayout = QStringLiteral("12by1");
    QString rhythmLead = QStringLiteral("II");
    // "watts", or anything else for kgm/min, as the ergometer settings say.
    QString workloadUnit = QStringLiteral("watts");
};
