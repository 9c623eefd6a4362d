#include "reports/ReportKind.h"

#include "reports/RestingReportData.h"
#include "reports/StressReportData.h"
#include "store/Protocol.h"
#include "store/Study.h"

namespace ReportKind {

Kind of(const Study &study) {
    if (study.property("studyType") == "ECG") return Kind::Resting;
    const Protocol *recorded = study.protocol();
    if ((recorded && recorded->type == ProtocolType::TiltTest) || study.property("protocolName") == "Tilt test")
        return Kind::TiltTest;
    if (recorded && recorded->type == ProtocolType::RestingEcg) return Kind::Resting;
    return Kind::Stress;
}

QString templateFor(Kind kind, const QString &traceLayout) {
    switch (kind) {
    case Kind::Stress: return QStringLiteral(":/res/stressreport1.xml");
    case Kind::TiltTest: return QStringLiteral(":/res/tilttestreport1.xml");
    case Kind::Resting:
        if (traceLayout == QLatin1String("6by2")) return QStringLiteral(":/res/ecgreport2.xml");
        if (traceLayout == QLatin1String("4by3")) return QStringLiteral(":/res/ecgreport3.xml");
        return QStringLiteral(":/res/ecgreport1.xml");
    }
    return QString();
}

ReportData fill(Kind kind, const Study &study, const ReportSettings &settings) {
    return kind == Kind::Resting ? RestingReportData::fill(study, settings) : StressReportData::fill(study, settings);
}

}  // namespace ReportKind
