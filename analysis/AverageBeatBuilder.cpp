#include "analysis/AverageBeatBuilder.h"

#include <algorithm>
#include <cmath>

namespace {

const std::vector<double> kNoAverage;

bool uprightR(const BeatRecord &beat, int lead) {
    const BeatRecord::Lead &l = beat.leads[lead];
    return l.hasValue(BeatRecord::RPeakTime) && l.hasValue(BeatRecord::QrsPolarity) &&
           l.get(BeatRecord::QrsPolarity) == 1.0;
}

// Beats off the current rhythm, early or after a pause, are kept out so the
// average shows the usual beat.
bool regular(const BeatRecord &beat) {
    const double rr = beat.rr();
    const double mean = beat.meanRr();
    const double ratio = rr > 0.0 && mean > 0.0 ? rr / mean : 0.0;
    return rr > 0.2 && rr < 2.0 && ratio > 0.85 && ratio < 1.2;
}

}  // namespace

AverageBeatBuilder::AverageBeatBuilder(const SignalSource *source) : source_(source) { resize(); }

void AverageBeatBuilder::setSource(const SignalSource *source) {
    source_ = source;
    resize();
}

void AverageBeatBuilder::resize() {
    rate_ = source_ ? source_->samplingRate() : 0;
    templateLength_ = rate_ * 8 / 10;
    rPosition_ = rate_ * 3 / 10;
    const int leads = source_ ? std::min(source_->channelCount(), static_cast<int>(BeatRecord::kMaxLeads)) : 0;
    averages_.assign(leads, std::vector<double>(templateLength_, 0.0));
    references_.assign(leads, std::vector<double>());
    segment_.assign(templateLength_, 0.0);
    built_.assign(leads, 1);
    chosenR_.clear();
    beats_.clear();
    alignmentLead_ = 0;
    beatCount_ = 0;
    meanRr_ = 0.0;
    dirty_ = false;
    referenceTaken_ = false;
}

void AverageBeatBuilder::zeroAverages() {
    for (std::vector<double> &a : averages_) std::fill(a.begin(), a.end(), 0.0);
    std::fill(built_.begin(), built_.end(), 1);
    chosenR_.clear();
    beatCount_ = 0;
    meanRr_ = 0.0;
}

void AverageBeatBuilder::addBeat(const BeatRecord &beat) {
    beats_.push_back(beat);
    while (!beats_.empty() && beat.windowStart - beats_.front().windowStart >= kWindowSeconds) beats_.pop_front();
    dirty_ = true;
}

void AverageBeatBuilder::setSingleBeat(const BeatRecord &beat) {
    beats_.assign(1, beat);
    zeroAverages();
    dirty_ = false;
    if (!source_) return;
    alignmentLead_ = chooseAlignmentLead();
    const BeatRecord::Lead &lead = beat.leads[alignmentLead_];
    // A beat with no R in any lead is placed by its fiducial instead.
    const double r = lead.hasValue(BeatRecord::RPeakTime) ? lead.get(BeatRecord::RPeakTime) : beat.fiducialTime();
    for (int k = 0; k < leadCount(); ++k) addSegment(k, r, 1.0);
    beatCount_ = 1;
    meanRr_ = beat.rr();
}

void AverageBeatBuilder::reset(bool clearReference) {
    beats_.clear();
    zeroAverages();
    dirty_ = false;
    if (clearReference) {
        for (std::vector<double> &r : references_) r.clear();
        referenceTaken_ = false;
    }
}

void AverageBeatBuilder::takeReference() {
    update();
    for (int k = 0; k < leadCount(); ++k) buildLead(k);
    references_ = averages_;
    referenceTaken_ = true;
}

const std::vector<double> &AverageBeatBuilder::average(int lead) {
    update();
    if (lead < 0 || lead >= leadCount()) return kNoAverage;
    buildLead(lead);
    return averages_[lead];
}

int AverageBeatBuilder::beatCount() {
    update();
    return beatCount_;
}

double AverageBeatBuilder::meanRr() {
    update();
    return meanRr_;
}

int AverageBeatBuilder::alignmentLead() {
    update();
    return alignmentLead_;
}

const std::vector<double> &AverageBeatBuilder::reference(int lead) const {
    return lead >= 0 && lead < leadCount() ? references_[lead] : kNoAverage;
}

int AverageBeatBuilder::chooseAlignmentLead() const {
    int best = 0;
    int bestCount = -1;
    for (int k = 0; k < leadCount(); ++k) {
        int count = 0;
        for (const BeatRecord &beat : beats_)
            if (uprightR(beat, k)) ++count;
        if (count > bestCount) {
            best = k;
            bestCount = count;
        }
    }
    return best;
}

void AverageBeatBuilder::update() {
    if (!dirty_) return;
    dirty_ = false;
    zeroAverages();
    if (!source_ || beats_.empty()) return;

    alignmentLead_ = chooseAlignmentLead();
    const auto selectable = [this](const BeatRecord &beat) {
        return uprightR(beat, alignmentLead_) && regular(beat) &&
               held(beat.leads[alignmentLead_].get(BeatRecord::RPeakTime));
    };
    int selected = 0;
    double rrSum = 0.0;
    for (const BeatRecord &beat : beats_) {
        if (!selectable(beat)) continue;
        ++selected;
        rrSum += beat.rr();
    }
    if (selected == 0) return;

    chosenR_.reserve(static_cast<std::size_t>(selected));
    for (const BeatRecord &beat : beats_)
        if (selectable(beat)) chosenR_.push_back(beat.leads[alignmentLead_].get(BeatRecord::RPeakTime));
    beatCount_ = selected;
    meanRr_ = rrSum / selected;
    std::fill(built_.begin(), built_.end(), 0);
    if (!onDemand_)
        for (int k = 0; k < leadCount(); ++k) buildLead(k);
}

void AverageBeatBuilder::buildLead(int lead) {
    if (built_[static_cast<std::size_t>(lead)]) return;
    built_[static_cast<std::size_t>(lead)] = 1;
    const double scale = 1.0 / static_cast<double>(chosenR_.size());
    for (double r : chosenR_) addSegment(lead, r, scale);
}

bool AverageBeatBuilder::held(double rTime) const {
    // A beat at the very end of a recording (handed on when the input ended)
    // lacks the rest of its template; padding it would bend the average.
    const std::int64_t first = std::llround(rTime * rate_) - rPosition_;
    return first + templateLength_ <= source_->length();
}

void AverageBeatBuilder::addSegment(int lead, double rTime, double scale) {
    const std::int64_t first = std::llround(rTime * rate_) - rPosition_;
    source_->readRange(lead, first, templateLength_, segment_.data());
    double mean = 0.0;
    for (double v : segment_) mean += v;
    mean /= templateLength_;
    std::vector<double> &average = averages_[static_cast<std::size_t>(lead)];
    for (int i = 0; i < templateLength_; ++i) average[i] += (segment_[i] - mean) * scale;
}
