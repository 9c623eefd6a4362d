#include "app/ReportDialogSettings.h"

#include "app/GlobalConfig.h"

#include <QSettings>

namespace ReportDialogSettings {
namespace {
const char *const kPrinter = "printer";
const char *const kPdf = "pdf";
}  // namespace

QString name(Key key) {
    switch (key) {
    case Key::TraceLayout: return QStringLiteral("ReportDialog/TraceLayout");
    case Key::RhythmLead: return QStringLiteral("ReportDialog/RhythmLead");
    case Key::Destination: return QStringLiteral("ReportDialog/Destination");
    case Key::PrinterName: return QStringLiteral("ReportDialog/PrinterName");
    }
    return QString();
}

const QStringList &traceLayouts() {
    static const QStringList layouts{QStringLiteral("12by1"), QStringLiteral("6by2"), QStringLiteral("4by3")};
    return layouts;
}

const QStringList &rhythmLeads() {
    static const QStringList leads{"I", "II", "III", "aVR", "aVL", "aVF", "V1", "V2", "V3", "V4", "V5", "V6"};
    return leads;
}

State load() {
    using GlobalConfig::Key;
    State state;
    ReportSettings &r = state.report;
    r.headerTitle = GlobalConfig::text(Key::ReportHeaderTitle);
    r.headerInfo = GlobalConfig::text(Key::ReportHeaderInfo);
    r.headerLogoFilename = GlobalConfig::text(Key::ReportHeaderLogoFilename);
    r.signatureName = GlobalConfig::text(Key::ReportSignatureName);
    r.signatureLicense = GlobalConfig::text(Key::ReportSignatureLicense);
    r.signatureFilename = GlobalConfig::text(Key::ReportSignatureFilename);
    r.workloadUnit = GlobalConfig::text(Key::ErgometerWorkloadUnits);
    const QSettings settings;
    const QString layout = settings.value(name(ReportDialogSettings::Key::TraceLayout)).toString();
    if (traceLayouts().contains(layout)) r.traceLayout = layout;
    const QString lead = settings.value(name(ReportDialogSettings::Key::RhythmLead)).toString();
    if (rhythmLeads().contains(lead)) r.rhythmLead = lead;
    state.toPrinter =
        settings.value(name(ReportDialogSettings::Key::Destination)).toString() == QLatin1String(kPrinter);
    state.printerName = settings.value(name(ReportDialogSettings::Key::PrinterName)).toString();
    return state;
}

void save(const State &state) {
    using GlobalConfig::Key;
    const ReportSettings &r = state.report;
    GlobalConfig::setValue(Key::ReportHeaderTitle, r.headerTitle);
    GlobalConfig::setValue(Key::ReportHeaderInfo, r.headerInfo);
    GlobalConfig::setValue(Key::ReportSignatureName, r.signatureName);
    GlobalConfig::setValue(Key::ReportSignatureLicense, r.signatureLicense);
    GlobalConfig::setValue(Key::ReportSignatureFilename, r.signatureFilename);
    QSettings settings;
    settings.setValue(name(ReportDialogSettings::Key::TraceLayout), r.traceLayout);
    settings.setValue(name(ReportDialogSettings::Key::RhythmLead), r.rhythmLead);
    settings.setValue(name(ReportDialogSettings::Key::Destination), QLatin1String(state.toPrinter ? kPrinter : kPdf));
    settings.setValue(name(ReportDialogSettings::Key::PrinterName), state.printerName);
}

}  // namespace ReportDialogSettings
