#include "stress/RestingReview.h"

#include "analysis/RestingValues.h"
#include "store/Study.h"

#include <algorithm>
#include <cmath>

const char *const RestingReview::kAutomaticMember = "automaticGlobalMeasurement";

namespace {

constexpr double kRAt = 0.3;  // seconds into every average

std::optional<double> present(const StudyResults &r, Result name, double absent) {
    if (!r.contains(name)) return std::nullopt;
    const double v = r.scalar(name);
    if (!std::isfinite(v) || v == absent) return std::nullopt;
    return v;
}

std::optional<double> *slotOf(GlobalMeasurement &g, WaveLimit limit) {
    switch (limit) {
    case WaveLimit::POnset: return &g.pOnset;
    case WaveLimit::POffset: return &g.pOffset;
    case WaveLimit::QrsOnset: return &g.qrsOnset;
    case WaveLimit::QrsOffset: return &g.qrsOffset;
    case WaveLimit::TOffset: return &g.tOffset;
    }
    return &g.qrsOnset;
}

QByteArray encode(const GlobalMeasurement &g) {
    QByteArray text;
    for (const auto &[name, value] : g.entries()) {
        if (!text.isEmpty()) text += ' ';
        text += name.text().toUtf8() + '=' + QByteArray::number(value, 'g', 17);
    }
    return text;
}

// A limit dragged past its neighbour would make a negative interval: the
// limits that are set must follow P on, P off, QRS on, QRS off, T off.
bool inOrder(const GlobalMeasurement &g) {
    double last = -1e9;
    for (const std::optional<double> &t : {g.pOnset, g.pOffset, g.qrsOnset, g.qrsOffset, g.tOffset}) {
        if (!t) continue;
        if (*t <= last) return false;
        last = *t;
    }
    return true;
}

}  // namespace

GlobalMeasurement storedGlobalMeasurement(const Study &study) {
    const StudyResults &r = study.results();
    GlobalMeasurement g;
    g.pOnset = present(r, Result::GlobalPOnset, 0.0);
    g.pOffset = present(r, Result::GlobalPOffset, 0.0);
    g.qrsOnset = present(r, Result::GlobalQrsOnset, 0.0);
    g.qrsOffset = present(r, Result::GlobalQrsOffset, 0.0);
    g.tOffset = present(r, Result::GlobalTOffset, 0.0);
    g.pr = present(r, Result::GlobalPr, 0.0);
    g.pDuration = present(r, Result::GlobalPDuration, 0.0);
    g.qrsDuration = present(r, Result::GlobalQrsDuration, 0.0);
    g.qt = present(r, Result::GlobalQt, 0.0);
    g.qtcBazett = present(r, Result::GlobalQtcBazett, 0.0);
    g.qtcFridericia = present(r, Result::GlobalQtcFridericia, 0.0);
    g.heartRateBpm = present(r, Result::GlobalHeartRate, 0.0);
    g.pAxis = present(r, Result::GlobalPAxis, kNoAxis);
    g.qrsAxis = present(r, Result::GlobalQrsAxis, kNoAxis);
    g.tAxis = present(r, Result::GlobalTAxis, kNoAxis);
    return g;
}

RestingReview::RestingReview(Study &study, std::vector<std::vector<double>> averages, std::vector<QString> channelNames,
                             int rate, double unitMv, double fallbackMeanRrSeconds)
    : study_(study), averages_(std::move(averages)), names_(std::move(channelNames)), rate_(std::max(0, rate)),
      unitMv_(unitMv), global_(storedGlobalMeasurement(study)) {
    const double stored = study_.results().scalar(Result::AvgRrInterval);
    meanRr_ = std::isfinite(stored) && stored > 0.0 ? stored : std::max(0.0, fallbackMeanRrSeconds);
}

int RestingReview::rPosition() const { return static_cast<int>(kRAt * rate_); }

int RestingReview::limitSample(WaveLimit limit) const {
    const std::optional<double> &t = *slotOf(const_cast<GlobalMeasurement &>(global_), limit);
    if (!t || rate_ <= 0) return 0;
    return std::max(0, rPosition() + static_cast<int>(std::lround(*t * rate_)));
}

bool RestingReview::setLimit(WaveLimit limit, int sample) {
    const int length = averages_.empty() ? 0 : static_cast<int>(averages_.front().size());
    if (rate_ <= 0 || sample <= 0 || sample >= length) return false;
    GlobalMeasurement moved = global_;
    // Whole samples relative to R, so a move of k samples is exactly k / rate.
    *slotOf(moved, limit) = static_cast<double>(sample - rPosition()) / rate_;
    if (!inOrder(moved)) return false;
    if (!corrected()) study_.setProperty(kAutomaticMember, encode(global_));
    global_ = moved;
    deriveGlobalValues(global_, averages_, names_, rate_, meanRr_);
    store();
    return true;
}

bool RestingReview::corrected() const { return !study_.property(kAutomaticMember).isEmpty(); }

bool RestingReview::restoreAutomatic() {
    const QByteArray saved = study_.property(kAutomaticMember);
    if (saved.isEmpty()) return false;
    for (const QByteArray &pair : saved.split(' ')) {
        const int eq = pair.indexOf('=');
        if (eq <= 0) continue;
        const std::optional<ResultName> name = ResultName::find(QString::fromUtf8(pair.left(eq)));
        bool ok = false;
        const double value = pair.mid(eq + 1).toDouble(&ok);
        // Only the global series: the member must not reach anything else.
        if (!name || !ok || name->slot() < ResultName(Result::GlobalPOnset).slot() ||
            name->slot() > ResultName(Result::GlobalTAxis).slot())
            continue;
        study_.results().setScalar(*name, value);
    }
    study_.setProperty(kAutomaticMember, QByteArray());
    const std::vector<int> leads = global_.leads;
    global_ = storedGlobalMeasurement(study_);
    global_.leads = leads;
    return true;
}

void RestingReview::store() {
    for (const auto &[name, value] : global_.entries()) study_.results().setScalar(name, value);
}

int RestingReview::measurementLead() const {
    return static_cast<int>(study_.results().scalar(Result::MeasurementChannel));
}

bool RestingReview::setMeasurementLead(int lead) {
    if (lead < 0 || lead >= static_cast<int>(averages_.size()) || lead == measurementLead()) return false;
    const RestingValues values = restingValues(averages_, names_, rate_, lead, meanRr_);
    for (const auto &[name, value] : values.entries()) study_.results().setScalar(name, value);
    return true;
}

LeadMeasurement RestingReview::leadMeasurement(int lead) const {
    LeadMeasurement m;
    if (lead < 0 || lead >= static_cast<int>(averages_.size()) || rate_ <= 0) return m;
    const std::vector<double> &x = averages_[static_cast<std::size_t>(lead)];
    m.markers = measureRest(x, rate_, rPosition(), meanRr_ * rate_);
    const RestingMarkers &k = m.markers;
    const auto span = [this](int from, int to) -> std::optional<double> {
        if (from <= 0 || to <= from) return std::nullopt;
        return static_cast<double>(to - from) / rate_;
    };
    m.pr = span(k.pOnset, k.qrsOnset);
    m.pDuration = span(k.pOnset, k.pEnd);
    m.qrsDuration = span(k.qrsOnset, k.qrsEnd);
    m.qt = span(k.qrsOnset, k.tEnd);
    if (m.qt && meanRr_ > 0.0) m.qtcBazett = *m.qt / std::sqrt(meanRr_);

    const int n = static_cast<int>(x.size());
    if (k.qrsOnset <= 0 || k.qrsOnset >= n) return m;
    const double level = x[static_cast<std::size_t>(k.qrsOnset)];
    // The largest deviation from the level over [from, to], keeping its sign.
    const auto deviation = [&](int from, int to) -> std::optional<double> {
        if (from <= 0 || to <= from || to >= n) return std::nullopt;
        double best = 0.0;
        for (int i = from; i <= to; ++i) {
            const double d = x[static_cast<std::size_t>(i)] - level;
            if (std::abs(d) > std::abs(best)) best = d;
        }
        return best * unitMv_;
    };
    m.pAmplitude = deviation(k.pOnset, k.pEnd);
    m.tAmplitude = deviation(k.qrsEnd, k.tEnd);
    if (k.qrsEnd > k.qrsOnset && k.qrsEnd < n) {
        const auto [lo, hi] = std::minmax_element(x.begin() + k.qrsOnset, x.begin() + k.qrsEnd + 1);
        m.qrsAmplitude = (*hi - *lo) * unitMv_;
    }
    return m;
}
