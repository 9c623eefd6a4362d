#pragma once
// The measurements a reviewer reads and corrects on a stored resting ECG.
//
// The global 12-lead measurement is kept in the study's global series
// ("globalPOnset" .. "globalTAxis", see analysis/ResultNames.h); those are
// what the resting report prints. When the reviewer moves a wave limit the
// series are rewritten with the moved limit and the intervals, QTc and axes
// derived from it, so the correction survives reopening and reaches the
// report. Before the first correction the acquisition's own values are kept
// in the study member "automaticGlobalMeasurement" (text: "name=value" pairs
// separated by spaces, the global series' names; empty once restored), from
// which "Auto measurement" restores them exactly. Readers that do not know
// the member ignore it.
//
// The measurement lead's values are that lead's own resting measurement of
// its average beat: its wave limits, intervals and amplitudes. Choosing
// another lead rewrites the study's resting values ("measurementChannel",
// "POnset", "QRSOnset", "QRSOffset", "TOffset", "QRSAxis") for it.

#include "analysis/GlobalMeasurement.h"
#include "analysis/RestingMeasurement.h"

#include <QString>
#include <optional>
#include <vector>

class Study;

enum class WaveLimit { POnset, POffset, QrsOnset, QrsOffset, TOffset };

struct LeadMeasurement {
    RestingMarkers markers;  // samples of the lead's average, 0: not found
    // Seconds.
    std::optional<double> pr, pDuration, qrsDuration, qt, qtcBazett;
    // Millivolts: P and T as their largest deviation from the level at the
    // QRS onset (signed), the QRS peak to peak.
    std::optional<double> pAmplitude, qrsAmplitude, tAmplitude;
};

class RestingReview {
public:
    static const char *const kAutomaticMember;

    // `averages`: one per channel of the study, at `rate` samples/s in sample
    // units of `unitMv` millivolts, R at 0.3 s. The mean RR is the study's
    // stored one, else `fallbackMeanRrSeconds` (that of the averages).
    RestingReview(Study &study, std::vector<std::vector<double>> averages, std::vector<QString> channelNames, int rate,
                  double unitMv, double fallbackMeanRrSeconds);

    const GlobalMeasurement &global() const { return global_; }
    int rate() const { return rate_; }
    double meanRrSeconds() const { return meanRr_; }
    // Where R lies in every average.
    int rPosition() const;

    // The limit's sample in the averages; 0 when it is not set.
    int limitSample(WaveLimit limit) const;
    // Moves the limit to `sample` of the averages and stores the derived
    // values in the study. A sample outside the averages, or one that would
    // put the limit past a neighbouring one (P on, P off, QRS on, QRS off,
    // T off in that order), is refused (false) and nothing changes.
    bool setLimit(WaveLimit limit, int sample);
    // Whether the stored global measurement carries a reviewer's correction.
    bool corrected() const;
    // Puts back the acquisition's values; false when there was nothing to undo.
    bool restoreAutomatic();

    int measurementLead() const;
    // Rewrites the study's resting values for `lead`; false when the lead is
    // out of range or already the measurement lead.
    bool setMeasurementLead(int lead);
    LeadMeasurement leadMeasurement(int lead) const;

private:
    void store();

    Study &study_;
    std::vector<std::vector<double>> averages_;
    std::vector<QString> names_;
    int rate_;
    double unitMv_;
    double meanRr_;
    GlobalMeasurement global_;
};

// The global measurement as stored in `study` (0 and -999 read as absent).
GlobalMeasurement storedGlobalMeasurement(const Study &study);
