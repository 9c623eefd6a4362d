#pragma once
// Accepts or rejects each fused beat, classifies it normal or premature from
// its RR interval, keeps the mean RR, numbers the beats and hands them to the
// beat store and the listeners. A premature beat is held until the next beat
// shows whether a compensatory pause followed it; a beat few leads saw, until
// the next beat shows whether a better-seen rival came within the refractory
// time.

#include "analysis/BeatLeadCheck.h"
#include "analysis/BeatListener.h"
#include "analysis/BeatRecord.h"
#include "analysis/BeatStore.h"
#include "analysis/FusedBeatSink.h"
#include "analysis/QuietLeadCheck.h"
#include "analysis/RrAverager.h"
#include "analysis/SignalSource.h"

#include <cstdint>
#include <optional>
#include <vector>

class BeatClassifier : public FusedBeatSink {
public:
    // `analysis` is the 250 samples/s feed the detections index; `channels`
    // leads take part (the feed's channels, at most BeatRecord::kMaxLeads).
    // Beats before `startTime`, or after `endTime` when that is > 0, are
    // ignored (seconds of the feed).
    BeatClassifier(const SignalSource &analysis, int channels, double startTime = 0.0, double endTime = 0.0);

    void setTimesOfInterest(double startTime, double endTime);
    // Told of every emitted beat, in registration order, after the store.
    void addListener(BeatListener *listener);
    void removeListener(BeatListener *listener);

    std::optional<double> previousBeatTime() const override;
    void acceptFusedBeat(const std::vector<LeadDetection> &detections, const std::vector<bool> &present) override;

    // The input ended: a held premature beat, which no following beat will
    // confirm or drop, is emitted as it is. The rest of the state stays, so
    // numbering goes on should detection start again.
    void finish();
    // Forgets the previous and the held beat, the numbering and the RR
    // history; the store keeps the beats already emitted.
    void stop();

    const BeatStore &store() const { return store_; }
    BeatStore &store() { return store_; }
    // Beats emitted so far (the index the next one gets).
    int emittedCount() const { return next_; }
    bool hasHeldBeat() const { return held_.has_value(); }
    // A normal beat few leads saw, waiting for the next beat.
    bool hasDoubtfulBeat() const { return doubtful_.has_value(); }
    // The last beat that became the previous beat, and its mean RR (0 when
    // there is none yet: no heart rate).
    const std::optional<BeatRecord> &previousBeat() const { return previous_; }
    double meanRr() const { return previous_ ? previous_->meanRr() : 0.0; }

private:
    // A beat that passed its checks, with what its commitment needs.
    struct Judged {
        BeatRecord beat;
        double g;  // its RR
        double a;  // the previous beat's mean RR
        bool normal;
        double quality;
        double usual;  // usualness() at it
    };
    // The lead checks, quality, flat-lead and timing rules; nothing when the
    // beat is rejected. Changes no state but the flat-lead counter.
    std::optional<Judged> judge(const std::vector<LeadDetection> &detections, const std::vector<bool> &present,
                                std::int64_t fiducial);
    // Settles the held beat, moves the mean RR, then emits or holds the beat.
    void commit(Judged &judged);
    // True when `rival`, closer than the refractory time to a beat of
    // `quality` and `usual`ness, is the heartbeat rather than that beat.
    static bool outweighs(const Judged &rival, double quality, double usual);
    // Over the good leads that saw the beat, the nearest any comes to its
    // usual complex: min(activity / reference, reference / activity), 0 when
    // none has a reference.
    double usualness(std::int64_t fiducial, int leads);
    // Unsets the points of every clipped or weak lead; fills good_.
    void checkLeads(std::int64_t fiducial);
    // True when the good leads that did not see the QRS but are flat where
    // it should be weigh at least as much as the leads that saw it: an
    // artefact of the seeing leads (an electrode's noise, muscle bursts in a
    // pause). Unless the beat is `early`, a seeing lead that shows a complex
    // like its usual one clears it, so a lead whose amplitude drops cannot
    // veto the clean beats the others see.
    bool contradictedByQuietLeads(std::int64_t fiducial, int leads, bool early);
    // Mean RR for a beat with RR `rr` about to take index next_.
    double updateMeanRr(double rr, bool normal);
    void emitBeat(BeatRecord &beat);

    const SignalSource &source_;
    const int channels_;
    const double rate_;
    double startTime_;
    double endTime_;
    BeatLeadCheck leadCheck_;
    QuietLeadCheck quietLeads_;
    int contradictedInARow_ = 0;  // beats rejected by flat leads since the last emitted one
    BeatStore store_;
    std::vector<BeatListener *> listeners_;

    std::optional<BeatRecord> previous_;
    std::optional<BeatRecord> held_;
    double heldQuality_ = 0.0;
    double heldUsual_ = 0.0;
    // A normal beat few leads saw, kept back until the next beat shows
    // whether a rival within the refractory time is the heartbeat instead.
    std::optional<Judged> doubtful_;
    int next_ = 0;
    int lastPush_ = 0;
    bool followsEarlyBeat_ = false;  // the last RR was short of 0.7 of the mean
    RrAverager rrAverager_;

    // Per-beat working copies, sized once.
    std::vector<LeadDetection> checked_;
    std::vector<bool> good_;
};
