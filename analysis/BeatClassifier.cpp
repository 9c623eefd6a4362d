#include "analysis/BeatClassifier.h"

#include "analysis/BeatRecordBuilder.h"

#include <algorithm>
#include <cmath>

namespace {

// The fused fiducial, which fusion writes into every lead's detection.
std::optional<std::int64_t> fusedFiducial(const std::vector<LeadDetection> &detections) {
    for (const LeadDetection &d : detections)
        if (LeadDetection::isSet(d.fiducial)) return d.fiducial;
    return std::nullopt;
}

std::int64_t sampleOf(double seconds, double rate) { return std::llround(seconds * rate); }

// No two heartbeats come closer than this (seconds).
constexpr double kRefractory = 0.2;
// A beat seen by less than this share of the good leads was seen by few.
constexpr double kFewLeads = 0.6;
// A beat whose RR lies within this share of the mean RR came on time.
constexpr double kUndisturbedRhythm = 0.1;
// This many beats in a row contradicted by flat leads discredit the leads' references.
constexpr int kStaleReferences = 3;

}  // namespace

BeatClassifier::BeatClassifier(const SignalSource &analysis, int channels, double startTime, double endTime)
    : source_(analysis), channels_(std::clamp(channels, 0, static_cast<int>(BeatRecord::kMaxLeads))),
      rate_(analysis.samplingRate()), startTime_(startTime), endTime_(endTime), leadCheck_(analysis),
      quietLeads_(channels_), store_(channels_) {
    checked_.reserve(BeatRecord::kMaxLeads);
    good_.reserve(BeatRecord::kMaxLeads);
}

void BeatClassifier::setTimesOfInterest(double startTime, double endTime) {
    startTime_ = startTime;
    endTime_ = endTime;
}

void BeatClassifier::addListener(BeatListener *listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void BeatClassifier::removeListener(BeatListener *listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

std::optional<double> BeatClassifier::previousBeatTime() const {
    if (!previous_) return std::nullopt;
    return previous_->fiducialTime();
}

void BeatClassifier::stop() {
    previous_.reset();
    held_.reset();
    doubtful_.reset();
    next_ = 0;
    lastPush_ = 0;
    followsEarlyBeat_ = false;
    rrAverager_.clear();
    quietLeads_.clear();
    contradictedInARow_ = 0;
}

void BeatClassifier::finish() {
    // No rival can follow the end of the input: a beat still waiting for one
    // is settled as it stands, before the held premature beat is handed on.
    if (doubtful_) {
        Judged settled = std::move(*doubtful_);
        doubtful_.reset();
        commit(settled);
    }
    if (!held_) return;
    BeatRecord premature = std::move(*held_);
    held_.reset();
    emitBeat(premature);
}

void BeatClassifier::checkLeads(std::int64_t fiducial) {
    const int leads = static_cast<int>(checked_.size());
    good_.assign(leads, false);
    // A single lead cannot be weighed against others: it is taken as it is,
    // so a one-channel recording still yields beats.
    if (source_.channelCount() < 2) {
        std::fill(good_.begin(), good_.end(), true);
        return;
    }
    for (int k = 0; k < leads; ++k) {
        good_[k] = k < source_.channelCount() && leadCheck_.good(k, fiducial);
        if (!good_[k]) checked_[k] = LeadDetection::absent(checked_[k].fiducial);
    }
}

bool BeatClassifier::contradictedByQuietLeads(std::int64_t fiducial, int leads, bool early) {
    // A single lead has nothing to be contradicted by.
    if (source_.channelCount() < 2) return false;
    double seen = 0.0;
    double quiet = 0.0;
    const int weighed = std::min(leads, BeatRecordBuilder::weighedLeads(leads));
    for (int k = 0; k < weighed; ++k) {
        if (!good_[k]) continue;
        const double w = BeatRecordBuilder::leadWeight(k, leads);
        if (checked_[k].qrsPolarity != 0) {
            if (!early && quietLeads_.typical(k, leadCheck_.activity(k, fiducial))) return false;
            seen += w;
        } else if (quietLeads_.quiet(k, leadCheck_.activity(k, fiducial)))
            quiet += w;
    }
    if (quiet <= 0.0 || quiet < seen) return false;
    // Artefacts come between beats. Contradicted again and again with no
    // beat emitted in between, it is the references that are wrong (a lead
    // whose amplitude changed): they are started afresh from the next beats.
    if (++contradictedInARow_ >= kStaleReferences) {
        quietLeads_.clear();
        contradictedInARow_ = 0;
    }
    return true;
}

void BeatClassifier::acceptFusedBeat(const std::vector<LeadDetection> &detections, const std::vector<bool> &present) {
    const std::optional<std::int64_t> fiducial = fusedFiducial(detections);
    if (!fiducial) return;
    const double t = static_cast<double>(*fiducial) / rate_;
    if (t < startTime_ || (endTime_ > 0.0 && t > endTime_)) return;

    // A doubtful beat is settled by the next beat that is not its rival; a
    // beat that long before it is as late as one before an emitted beat.
    if (doubtful_) {
        const std::int64_t apart = *fiducial - sampleOf(doubtful_->beat.fiducialTime(), rate_);
        if (apart < -kRefractory * rate_) return;
        if (apart > kRefractory * rate_) {
            Judged settled = std::move(*doubtful_);
            doubtful_.reset();
            commit(settled);
        }
    }

    // Distances in samples, so a beat exactly on a limit is judged the same
    // whatever the rounding of its time in seconds.
    if (previous_ && *fiducial - sampleOf(previous_->fiducialTime(), rate_) <= kRefractory * rate_) return;
    // A held beat this close before another was most likely part of it.
    if (held_ && *fiducial - sampleOf(held_->fiducialTime(), rate_) <= 0.15 * rate_) held_.reset();

    std::optional<Judged> judged = judge(detections, present, *fiducial);
    if (!judged) return;
    if (held_ && *fiducial - sampleOf(held_->fiducialTime(), rate_) <= kRefractory * rate_) {
        if (!outweighs(*judged, heldQuality_, heldUsual_)) return;
        held_.reset();
    }
    if (doubtful_) {
        const bool rivalWins = outweighs(*judged, doubtful_->quality, doubtful_->usual);
        if (!rivalWins) return;
        doubtful_.reset();
    }
    if (next_ > 0 && judged->normal && judged->quality < kFewLeads) {
        // Few leads saw it: wait whether a rival within the refractory time
        // shows the heartbeat better.
        doubtful_ = std::move(judged);
        return;
    }
    commit(*judged);
}

std::optional<BeatClassifier::Judged> BeatClassifier::judge(const std::vector<LeadDetection> &detections,
                                                            const std::vector<bool> &present, std::int64_t fiducial) {
    const int leads = std::min(channels_, static_cast<int>(detections.size()));
    checked_.assign(detections.begin(), detections.begin() + leads);
    checkLeads(fiducial);
    const std::optional<double> q = BeatRecordBuilder::qualityRatio(checked_, good_, leads);
    if (!q || *q < BeatRecordBuilder::qualityThreshold(leads)) return std::nullopt;
    if (contradictedByQuietLeads(fiducial, leads, false)) return std::nullopt;

    Judged j{BeatRecordBuilder::build(checked_, present, leads, fiducial, rate_),
             0.0,
             0.0,
             true,
             *q,
             usualness(fiducial, leads)};
    j.beat.values[BeatRecord::QualityRatio] = *q;
    if (previous_) j.beat.values[BeatRecord::RrInterval] = BeatRecordBuilder::rrInterval(j.beat, *previous_, leads);
    if (next_ == 0) return j;

    j.g = j.beat.rr();
    j.a = previous_->meanRr();
    const double g = j.g, a = j.a;
    // Only a beat that few leads saw is judged by its timing: an early beat
    // seen that poorly is more likely noise than an extrasystole.
    if (*q < kFewLeads && g > 0.0 && g < 1.0 && a > 0.0 && a < 2.0) {
        if (*q >= 0.4) {
            if (g < 0.5 * a) return std::nullopt;
            j.normal = g >= 0.75 * a;
        } else {
            if (g < 0.6 * a) return std::nullopt;
            j.normal = g >= 0.85 * a;
        }
    }
    j.beat.normal = j.normal;
    // An early beat few leads saw is the likeliest artefact of all: a flat
    // lead outweighs the seeing ones even where they show a usual complex.
    if (!j.normal && contradictedByQuietLeads(fiducial, leads, true)) return std::nullopt;
    return j;
}

bool BeatClassifier::outweighs(const Judged &rival, double quality, double usual) {
    // Two beats closer than the refractory time: one of them is no beat. The
    // one more leads saw, or whose leads show more of their usual complex,
    // stays; on a tie the one already waiting.
    return rival.quality > quality || (rival.quality == quality && rival.usual > usual);
}

double BeatClassifier::usualness(std::int64_t fiducial, int leads) {
    // How close the seeing lead nearest its usual complex comes to it: 1 for
    // a complex of its usual size, less for one smaller or larger.
    double best = 0.0;
    for (int k = 0; k < leads; ++k) {
        if (!good_[k] || checked_[k].qrsPolarity == 0) continue;
        const double r = quietLeads_.reference(k);
        const double activity = leadCheck_.activity(k, fiducial);
        if (r <= 0.0 || activity <= 0.0) continue;
        best = std::max(best, std::min(activity / r, r / activity));
    }
    return best;
}

void BeatClassifier::commit(Judged &judged) {
    BeatRecord &beat = judged.beat;
    if (next_ == 0) {
        emitBeat(beat);
        previous_ = std::move(beat);
        return;
    }
    double g = judged.g;
    const double a = judged.a;
    if (held_) {
        BeatRecord premature = std::move(*held_);
        held_.reset();
        // A beat on time after it, as if the early one had not been there,
        // shows that one (which few leads saw) left the heart alone: an
        // artefact, never emitted. Real premature beats disturb the rhythm
        // with a compensatory pause or by resetting the sinus node.
        const bool undisturbed = g > 0.0 && a > 0.0 && std::abs(g / a - 1.0) <= kUndisturbedRhythm;
        if (!undisturbed) {
            emitBeat(premature);
            // A compensatory pause after it confirms the premature beat as a
            // beat of its own; this beat's RR then runs from it.
            if (g > 0.0 && a > 0.0 && g / a > 1.7 && g / a < 4.0) {
                g -= premature.rr();
                beat.values[BeatRecord::RrInterval] = g;
                previous_ = std::move(premature);
            }
        }
    }

    const double meanRr = updateMeanRr(g, judged.normal);
    beat.values[BeatRecord::MeanRrInterval] = rrAverager_.positiveCount() < 5 ? 0.0 : meanRr;

    if (!judged.normal) {
        held_ = std::move(beat);
        heldQuality_ = judged.quality;
        heldUsual_ = judged.usual;
        return;
    }
    emitBeat(beat);
    previous_ = std::move(beat);
}

double BeatClassifier::updateMeanRr(double rr, bool normal) {
    const bool longGap = next_ - lastPush_ > 3;
    if (next_ < 8 || longGap) {
        followsEarlyBeat_ = false;
        if (longGap) rrAverager_.clear();
        if (rr > 0.0 && rr < 2.0) {
            lastPush_ = next_;
            return rrAverager_.push(rr);
        }
        return 0.0;
    }
    // Steady state: only normal beats whose RR is close to the mean move it.
    // Every push counts as the latest, or a steady rhythm would look like a
    // gap after four beats and restart the mean.
    const double h = rrAverager_.current();
    const bool inRange = h == 0.0 || (rr > 0.0 && rr < 2.0 && rr > 0.7 * h && rr < 1.4 * h);
    // The pause after an early beat is no heart period either: its early
    // partner was kept out of the mean, and the pause alone would pull the
    // rate down for the next eight beats.
    const bool pauseAfterEarlyBeat = followsEarlyBeat_ && rr > 1.2 * h;
    followsEarlyBeat_ = h > 0.0 && rr > 0.0 && rr <= 0.7 * h;
    if (normal && inRange && !pauseAfterEarlyBeat) {
        rrAverager_.push(rr);
        lastPush_ = next_;
    }
    return rrAverager_.current();
}

void BeatClassifier::emitBeat(BeatRecord &beat) {
    // What each lead that saw this QRS showed of it: the measure its
    // silence at a later beat is weighed against.
    if (source_.channelCount() >= 2) {
        const std::int64_t fiducial = sampleOf(beat.fiducialTime(), rate_);
        for (int k = 0; k < std::min(channels_, source_.channelCount()); ++k)
            if (beat.leads[static_cast<std::size_t>(k)].get(BeatRecord::QrsPolarity) != 0.0)
                quietLeads_.record(k, leadCheck_.activity(k, fiducial));
    }
    contradictedInARow_ = 0;
    beat.index = next_++;
    beat.valid = true;
    store_.append(beat);
    for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->beatEmitted(beat);
}
