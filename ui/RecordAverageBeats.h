#pragma once
// Average beats of a stored record for the review display's inset: the
// regular beats of the part of the record on screen (at most the 20 s
// before its end) averaged per lead, with their ST points and values.

#include "analysis/AverageBeatBuilder.h"
#include "analysis/BeatRecord.h"
#include "ui/AverageBeatView.h"

#include <vector>

class SignalSource;

class RecordAverageBeats : public AverageBeatProvider {
public:
    // How the leads' averages are built: all at once, beat by beat, for a
    // reader of every lead over windows anywhere in the record (a report:
    // each stretch of the record is read once for all leads); or each lead
    // when asked for, for a display whose page was just filtered for the
    // leads it shows.
    enum class Leads { AllAtOnce, OnDemand };

    // `signal`: the review chain's output, which must outlive this object;
    // `beats`: the record's beats, times in seconds of it; `unitMv`: the
    // value of one sample unit.
    RecordAverageBeats(const SignalSource &signal, std::vector<BeatRecord> beats, double unitMv,
                       Leads leads = Leads::AllAtOnce);

    long long revision() override { return revision_; }
    bool view(int channel, AverageBeatView *out) override;
    void setTimeWindow(double start, double end) override;

private:
    const SignalSource &signal_;
    std::vector<BeatRecord> beats_;
    double unitMv_;
    AverageBeatBuilder builder_;
    double start_ = -1.0;
    double end_ = -1.0;
    long long revision_ = 0;
};
