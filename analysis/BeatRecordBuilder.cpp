#include "analysis/BeatRecordBuilder.h"

#include <algorithm>

namespace BeatRecordBuilder {

namespace {

// Integer mean of the set positions of one point over the leads, in seconds.
class PointMean {
public:
    void add(std::int64_t position) {
        if (!LeadDetection::isSet(position)) return;
        sum_ += position;
        ++count_;
    }
    bool any() const { return count_ > 0; }
    double seconds(double rate) const { return static_cast<double>(sum_ / count_) / rate; }

private:
    std::int64_t sum_ = 0;
    std::int64_t count_ = 0;
};

void setTime(BeatRecord::Lead &lead, BeatRecord::LeadValue v, std::int64_t position, double rate) {
    if (LeadDetection::isSet(position)) lead.set(v, static_cast<double>(position) / rate);
}

// The spans around the waves, with margins for their onsets and ends.
void setSpans(BeatRecord::Lead &lead) {
    const bool p = lead.hasValue(BeatRecord::PPeakTime);
    const bool q = lead.hasValue(BeatRecord::QPointTime);
    const bool r = lead.hasValue(BeatRecord::RPeakTime);
    const bool s = lead.hasValue(BeatRecord::SPointTime);
    const bool t = lead.hasValue(BeatRecord::TPeakTime);
    const double tP = lead.get(BeatRecord::PPeakTime);
    const double tQ = lead.get(BeatRecord::QPointTime);
    const double tR = lead.get(BeatRecord::RPeakTime);
    const double tS = lead.get(BeatRecord::SPointTime);
    const double tT = lead.get(BeatRecord::TPeakTime);

    if (q && s)
        lead.set(BeatRecord::QrsSpan, (tS + 0.02) - (tQ - 0.01));
    else if (q && r)
        lead.set(BeatRecord::QrsSpan, (tR + 0.02) - (tQ - 0.01));
    else if (r && s)
        lead.set(BeatRecord::QrsSpan, (tS + 0.02) - (tR - 0.02));

    if (p && q) lead.set(BeatRecord::PToQSpan, (tQ - 0.01) - (tP + 0.01));

    if (q && t)
        lead.set(BeatRecord::QToTSpan, (tT + 0.1) - (tQ - 0.01));
    else if (r && t)
        lead.set(BeatRecord::QToTSpan, (tT + 0.1) - (tR - 0.02));
}

}  // namespace

BeatRecord build(const std::vector<LeadDetection> &detections, const std::vector<bool> &present, int leads,
                 std::int64_t fiducial, double rate) {
    BeatRecord beat;
    beat.valid = true;
    const double t = static_cast<double>(fiducial) / rate;
    beat.values[BeatRecord::FiducialTime] = t;

    PointMean pMean, qMean, rMean, sMean, tMean;
    const int count = std::min({leads, static_cast<int>(detections.size()), static_cast<int>(BeatRecord::kMaxLeads)});
    for (int k = 0; k < count; ++k) {
        const LeadDetection &d = detections[k];
        BeatRecord::Lead &lead = beat.leads[k];
        lead.set(BeatRecord::LeadPresent, k < static_cast<int>(present.size()) && present[k] ? 1.0 : 0.0);
        setTime(lead, BeatRecord::PPeakTime, d.pPeak, rate);
        setTime(lead, BeatRecord::QPointTime, d.qPoint, rate);
        setTime(lead, BeatRecord::RPeakTime, d.rPeak, rate);
        setTime(lead, BeatRecord::SPointTime, d.sPoint, rate);
        setTime(lead, BeatRecord::TPeakTime, d.tPeak, rate);
        lead.set(BeatRecord::QrsPolarity, d.qrsPolarity);
        lead.set(BeatRecord::PPolarity, d.pPolarity);
        lead.set(BeatRecord::TPolarity, d.tPolarity);
        setSpans(lead);
        pMean.add(d.pPeak);
        qMean.add(d.qPoint);
        rMean.add(d.rPeak);
        sMean.add(d.sPoint);
        tMean.add(d.tPeak);
    }

    // The window reaches from before the earliest wave found to after the
    // latest, with margins for the parts of the waves the points miss.
    double start = t - 0.2;
    if (pMean.any())
        start = pMean.seconds(rate) - 0.05;
    else if (qMean.any())
        start = qMean.seconds(rate) - 0.1;
    else if (rMean.any())
        start = rMean.seconds(rate) - 0.15;
    double end = t + 0.25;
    if (tMean.any())
        end = tMean.seconds(rate) + 0.1;
    else if (sMean.any())
        end = sMean.seconds(rate) + 0.15;
    else if (rMean.any())
        end = rMean.seconds(rate) + 0.2;
    beat.windowStart = start;
    beat.windowLength = end - start;
    return beat;
}

double rrInterval(const BeatRecord &beat, const BeatRecord &previous, int leads) {
    double intervals[BeatRecord::kMaxLeads];
    int count = 0;
    const double fiducialInterval = beat.fiducialTime() - previous.fiducialTime();
    for (int k = 0; k < std::min(leads, static_cast<int>(BeatRecord::kMaxLeads)); ++k) {
        const BeatRecord::Lead &lead = beat.leads[k];
        if (!lead.hasValue(BeatRecord::RPeakTime)) continue;
        const BeatRecord::Lead &before = previous.leads[k];
        const double rr = before.hasValue(BeatRecord::RPeakTime)
                              ? lead.get(BeatRecord::RPeakTime) - before.get(BeatRecord::RPeakTime)
                              : fiducialInterval;
        if (rr > 0.0) intervals[count++] = rr;
    }
    if (count == 0) return 0.0;
    std::sort(intervals, intervals + count);
    return intervals[count / 2];
}

std::optional<double> qualityRatio(const std::vector<LeadDetection> &detections, const std::vector<bool> &good,
                                   int leads) {
    const int count = std::min({leads, static_cast<int>(detections.size()), static_cast<int>(good.size())});
    // The chest leads see the QRS most reliably, V4-V6 above all, so in a
    // full 12-lead set they carry most of the weight; the bipolar leads
    // after the twelfth do not take part.
    const bool twelveLead = leads >= 12;
    const int used = twelveLead ? std::min(count, 12) : count;
    double seen = 0.0;
    double usable = 0.0;
    for (int k = 0; k < used; ++k) {
        if (!good[k]) continue;
        const double w = leadWeight(k, leads);
        usable += w;
        if (detections[k].qrsPolarity != 0) seen += w;
    }
    if (usable <= 0.0) return std::nullopt;
    return seen / usable;
}

int weighedLeads(int leads) { return leads >= 12 ? 12 : leads; }

double leadWeight(int lead, int leads) {
    if (leads < 12) return 1.0;
    return lead < 6 ? 1.0 : lead < 9 ? 5.0 : lead < 12 ? 10.0 : 0.0;
}

double qualityThreshold(int leads) { return leads >= 12 ? 0.3 : 0.2; }

}  // namespace BeatRecordBuilder
