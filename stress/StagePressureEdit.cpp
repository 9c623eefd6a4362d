#include "stress/StagePressureEdit.h"

#include "analysis/StageResults.h"
#include "analysis/StudyResults.h"

#include <QRegularExpression>

namespace StagePressureEdit {

namespace {

bool plausible(int systolic, int diastolic) {
    if (systolic == 0 && diastolic == 0) return true;
    return systolic >= 40 && systolic <= 300 && diastolic >= 20 && diastolic <= 200 && diastolic < systolic;
}

}  // namespace

QString text(const StudyResults &results, int stage) {
    return QStringLiteral("%1/%2")
        .arg(static_cast<int>(results.perStage(Result::SysBpPerStage, stage)))
        .arg(static_cast<int>(results.perStage(Result::DiaBpPerStage, stage)));
}

bool apply(StudyResults &results, int stage, const QString &typed) {
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,4})\\s*/\\s*(\\d{1,4})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(typed);
    if (!match.hasMatch()) return false;
    // The per-stage series has an entry for every recorded stage.
    if (stage < 0 || static_cast<std::size_t>(stage) >= results.values(Result::BpmPerStage).size()) return false;
    const int systolic = match.captured(1).toInt();
    const int diastolic = match.captured(2).toInt();
    if (!plausible(systolic, diastolic)) return false;
    results.setPerStage(Result::SysBpPerStage, stage, systolic);
    results.setPerStage(Result::DiaBpPerStage, stage, diastolic);
    // The stored product was taken with the old systolic value.
    const double hr = static_cast<int>(results.perStage(Result::BpmPerStage, stage));
    results.setPerStage(Result::DpPerStage, stage, hr * systolic);
    StageResults::deriveMaxima(results);
    return true;
}

}  // namespace StagePressureEdit
