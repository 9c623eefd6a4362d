#pragma once
// Per-lead average of the regular beats of the last 20 seconds, aligned on
// the R peak, and the reference averages kept from the end of the first stage.

#include "analysis/BeatRecord.h"
#include "analysis/SignalSource.h"

#include <deque>
#include <vector>

class AverageBeatBuilder {
public:
    static constexpr double kWindowSeconds = 20.0;

    // `source` is the averaging feed (see AveragingFeed); it may be null until
    // setSource, and must outlive its use here.
    explicit AverageBeatBuilder(const SignalSource *source = nullptr);

    // Replaces the source and resets, reference included.
    void setSource(const SignalSource *source);
    // Off (the default), every lead's average is rebuilt as soon as the beats
    // change, because a live feed's ring moves on and a later read would find
    // other samples there. On, a lead's average is built only when it is
    // asked for: for a stored record, where a reader that wants one lead (the
    // review's ST replay) or the leads on screen need not filter the others.
    void setBuildLeadsOnDemand(bool onDemand) { onDemand_ = onDemand; }
    const SignalSource *source() const { return source_; }

    // Adds an emitted beat and drops the beats whose window starts 20 s or
    // more before this one's. The average is rebuilt when next asked for.
    void addBeat(const BeatRecord &beat);
    // Makes the average the given beat alone (count 1, its RR as mean RR).
    void setSingleBeat(const BeatRecord &beat);
    // Empties the beat list and zeroes the averages, and the reference too
    // when asked.
    void reset(bool clearReference);
    // Copies the current averages into the reference.
    void takeReference();

    // Samples of the feed per average: 0.8 s; the R peak sits at 0.3 s.
    int templateLength() const { return templateLength_; }
    int rPosition() const { return rPosition_; }
    int leadCount() const { return static_cast<int>(averages_.size()); }

    // These bring the average up to date first. An average no beat
    // qualified for is all zeros with a count of 0.
    const std::vector<double> &average(int lead);
    int beatCount();
    double meanRr();
    int alignmentLead();

    // Empty until takeReference, and after reset(true).
    const std::vector<double> &reference(int lead) const;
    bool referenceTaken() const { return referenceTaken_; }
    // Beats in the 20-second window.
    int listedBeats() const { return static_cast<int>(beats_.size()); }

private:
    void resize();
    void zeroAverages();
    // Chooses the beats of the average; builds every lead's average unless
    // leads are built on demand.
    void update();
    // Builds one lead's average from the chosen beats if it is not yet built.
    void buildLead(int lead);
    // The lead most beats have an upright R in (the lowest on a tie).
    int chooseAlignmentLead() const;
    // Adds `scale` times the mean-free segment of a lead around `rTime`.
    void addSegment(int lead, double rTime, double scale);
    // Whether the source holds the whole template of a beat with R at `rTime`.
    bool held(double rTime) const;

    const SignalSource *source_;
    int rate_ = 0;
    int templateLength_ = 0;
    int rPosition_ = 0;
    std::deque<BeatRecord> beats_;
    std::vector<std::vector<double>> averages_;
    std::vector<std::vector<double>> references_;
    std::vector<double> segment_;
    // R times of the beats chosen by the last update, in order.
    std::vector<double> chosenR_;
    // Per lead: whether its average holds the chosen beats.
    std::vector<char> built_;
    int alignmentLead_ = 0;
    int beatCount_ = 0;
    double meanRr_ = 0.0;
    bool dirty_ = false;
    bool referenceTaken_ = false;
    bool onDemand_ = false;
};
