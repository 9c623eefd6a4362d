#include "analysis/ResultNames.h"

#include <array>
#include <stdexcept>

namespace {

struct Entry {
    const char *text;
    ResultKind kind;
    double initial;
    bool optional;
};

constexpr double kNone = -999.0;
constexpr int kLeads = ResultName::kLeadSlots;

// The series before the per-lead trends, then those between them, in order.
constexpr Entry kTrends[] = {{"BPMTrend", ResultKind::Trend, 0.0, false},
                             {"sysBPTrend", ResultKind::Trend, 0.0, false},
                             {"diaBPTrend", ResultKind::Trend, 0.0, false},
                             {"METSTrend", ResultKind::Trend, 0.0, false},
                             {"DPTrend", ResultKind::Trend, 0.0, false}};
constexpr Entry kPerStage[] = {{"BPMPerStage", ResultKind::PerStage, 0.0, false},
                               {"sysBPPerStage", ResultKind::PerStage, 0.0, false},
                               {"diaBPPerStage", ResultKind::PerStage, 0.0, false},
                               {"DPPerStage", ResultKind::PerStage, 0.0, false},
                               {"METSPerStage", ResultKind::PerStage, 0.0, false}};
// Everything after the per-lead per-stage series, in Result order from MaxBpm.
constexpr Entry kAfterLeads[] = {{"maxBPM", ResultKind::Scalar, 0.0, false},
                                 {"maxSysBP", ResultKind::Scalar, 0.0, false},
                                 {"maxDiaBP", ResultKind::Scalar, 0.0, false},
                                 {"maxMETS", ResultKind::Scalar, 0.0, false},
                                 {"maxDP", ResultKind::Scalar, 0.0, false},
                                 {"maxVO2", ResultKind::Scalar, 0.0, false},
                                 {"pacemakerPulses", ResultKind::List, 0.0, false},
                                 {"measurementChannel", ResultKind::Scalar, -1.0, false},
                                 {"POnset", ResultKind::Scalar, 0.0, false},
                                 {"PPeak", ResultKind::Scalar, 0.0, false},
                                 {"POffset", ResultKind::Scalar, 0.0, false},
                                 {"QRSOnset", ResultKind::Scalar, 0.0, false},
                                 {"QRSOffset", ResultKind::Scalar, 0.0, false},
                                 {"TOnset", ResultKind::Scalar, 0.0, false},
                                 {"TPeak", ResultKind::Scalar, 0.0, false},
                                 {"TOffset", ResultKind::Scalar, 0.0, false},
                                 {"PAmp", ResultKind::Scalar, 0.0, false},
                                 {"QRSAmp", ResultKind::Scalar, 0.0, false},
                                 {"TAmp", ResultKind::Scalar, 0.0, false},
                                 {"avgRRInterval", ResultKind::Scalar, 0.0, false},
                                 {"QRSAxis", ResultKind::Scalar, kNone, false},
                                 {"globalPOnset", ResultKind::Scalar, 0.0, true},
                                 {"globalPOffset", ResultKind::Scalar, 0.0, true},
                                 {"globalQRSOnset", ResultKind::Scalar, 0.0, true},
                                 {"globalQRSOffset", ResultKind::Scalar, 0.0, true},
                                 {"globalTOffset", ResultKind::Scalar, 0.0, true},
                                 {"globalPRInterval", ResultKind::Scalar, 0.0, true},
                                 {"globalPDuration", ResultKind::Scalar, 0.0, true},
                                 {"globalQRSDuration", ResultKind::Scalar, 0.0, true},
                                 {"globalQTInterval", ResultKind::Scalar, 0.0, true},
                                 {"globalQTcBazett", ResultKind::Scalar, 0.0, true},
                                 {"globalQTcFridericia", ResultKind::Scalar, 0.0, true},
                                 {"globalHeartRate", ResultKind::Scalar, 0.0, true},
                                 {"globalPAxis", ResultKind::Scalar, kNone, true},
                                 {"globalQRSAxis", ResultKind::Scalar, kNone, true},
                                 {"globalTAxis", ResultKind::Scalar, kNone, true}};

constexpr int kTrendCount = static_cast<int>(std::size(kTrends));
constexpr int kPerStageCount = static_cast<int>(std::size(kPerStage));
static_assert(static_cast<int>(Result::BpmPerStage) == kTrendCount);
static_assert(static_cast<int>(Result::MaxBpm) == kTrendCount + kPerStageCount);
static_assert(static_cast<int>(Result::GlobalTAxis) + 1 ==
              kTrendCount + kPerStageCount + static_cast<int>(std::size(kAfterLeads)));

// Slots: trends, STLevelTrend x16, STSlopeTrend x16, per stage,
// STLevelPerStage x16, STSlopePerStage x16, the rest.
constexpr int kLeadTrendsAt = kTrendCount;
constexpr int kPerStageAt = kLeadTrendsAt + 2 * kLeads;
constexpr int kLeadPerStageAt = kPerStageAt + kPerStageCount;
constexpr int kAfterLeadsAt = kLeadPerStageAt + 2 * kLeads;
constexpr int kSlotCount = kAfterLeadsAt + static_cast<int>(std::size(kAfterLeads));

constexpr const char *kLeadFormats[] = {"STLevelTrend(%1)", "STSlopeTrend(%1)", "STLevelPerStage(%1)",
                                        "STSlopePerStage(%1)"};

int slotOf(Result result) {
    const int r = static_cast<int>(result);
    if (r < kTrendCount) return r;
    if (r < kTrendCount + kPerStageCount) return kPerStageAt + (r - kTrendCount);
    return kAfterLeadsAt + (r - kTrendCount - kPerStageCount);
}

// The lead series of a slot (0..3) and its lead, or -1 for a whole-study slot.
int leadSeriesOf(int slot, int *lead) {
    for (int series = 0; series < 4; ++series) {
        const int first = (series < 2 ? kLeadTrendsAt : kLeadPerStageAt) + (series % 2) * kLeads;
        if (slot >= first && slot < first + kLeads) {
            *lead = slot - first;
            return series;
        }
    }
    return -1;
}

const Entry &entryOf(int slot) {
    if (slot < kTrendCount) return kTrends[slot];
    if (slot >= kPerStageAt && slot < kLeadPerStageAt) return kPerStage[slot - kPerStageAt];
    return kAfterLeads[slot - kAfterLeadsAt];
}

}  // namespace

ResultName::ResultName(Result result) : slot_(slotOf(result)) {}

ResultName::ResultName(LeadResult series, int lead) : slot_(0) {
    if (lead < 0 || lead >= kLeads) throw std::out_of_range("Result series lead outside 0..15");
    const int s = static_cast<int>(series);
    slot_ = (s < 2 ? kLeadTrendsAt : kLeadPerStageAt) + (s % 2) * kLeads + lead;
}

QString ResultName::text() const {
    int lead = 0;
    const int series = leadSeriesOf(slot_, &lead);
    if (series >= 0) return QString::fromLatin1(kLeadFormats[series]).arg(lead);
    return QString::fromLatin1(entryOf(slot_).text);
}

ResultKind ResultName::kind() const {
    int lead = 0;
    const int series = leadSeriesOf(slot_, &lead);
    if (series >= 0) return series < 2 ? ResultKind::Trend : ResultKind::PerStage;
    return entryOf(slot_).kind;
}

double ResultName::initial() const {
    int lead = 0;
    return leadSeriesOf(slot_, &lead) >= 0 ? 0.0 : entryOf(slot_).initial;
}

bool ResultName::optional() const {
    int lead = 0;
    return leadSeriesOf(slot_, &lead) < 0 && entryOf(slot_).optional;
}

const std::vector<ResultName> &ResultName::all() {
    static const std::vector<ResultName> names = [] {
        std::vector<ResultName> list;
        for (int slot = 0; slot < kSlotCount; ++slot) list.push_back(ResultName(slot));
        return list;
    }();
    return names;
}

std::optional<ResultName> ResultName::find(const QString &text) {
    for (const ResultName &name : all())
        if (name.text() == text) return name;
    return std::nullopt;
}
