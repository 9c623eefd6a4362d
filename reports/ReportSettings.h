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
    QString traceLayout = QStringLiteral("12by1");  // "12by1", "6by2" or "4by3"
    QString rhythmLead = QStringLiteral("II");
    // "watts", or anything else for kgm/min, as the ergometer settings say.
    QString workloadUnit = QStringLiteral("watts");
};
