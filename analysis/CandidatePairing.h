#pragma once
// Turns one lead's QRS slope marks into beats: pairs opposite marks into
// candidates, places each candidate's fiducial, rejects those too close to the
// previous beat and asks for one search-back per overlong interval.

#include "analysis/LeadDetection.h"

#include <cstdint>

class MarkArray;
class ScaleWindow;

class CandidatePairing {
public:
    // What the pairing asks of the detector around it.
    class Client {
    public:
        virtual ~Client() = default;
        // Search [first, last] again with lowered thresholds, adding marks.
        virtual void searchBack(std::int64_t first, std::int64_t last) = 0;
        // A beat at `fiducial` was accepted; `previous` (kUnset for none) now
        // has its successor, `rrSeconds` apart.
        virtual void accepted(std::int64_t fiducial, std::int64_t previous, double rrSeconds) = 0;
        // The detector forgets `previous` (kUnset for none) after a long gap.
        virtual void abandoned(std::int64_t previous) = 0;
    };

    // A candidate closer than this to the previous beat (seconds) and less
    // steep than this share of it, on scale 2^2, is taken for a T wave.
    static constexpr double kTWaveReach = 0.36;
    static constexpr double kTWaveSlopeShare = 0.5;

    explicit CandidatePairing(int rate);

    void begin(std::int64_t position);
    // Pairs the marks of the window [first, last); marks before it belong to
    // earlier windows, except the pending one (and those a search-back adds).
    void run(MarkArray &marks, const ScaleWindow &scales, std::int64_t first, std::int64_t last, Client &client);

    double meanRr() const { return meanRr_; }
    bool hasPending() const { return hasPending_; }
    std::int64_t pending() const { return pending_; }
    int pendingSign() const { return pendingSign_; }
    bool hasPrevious() const { return hasPrevious_; }
    std::int64_t previous() const { return previous_; }
    std::int64_t lastProcessed() const { return lastProcessed_; }

    int searchBacks() const { return searchBacks_; }
    int resets() const { return resets_; }
    int rejected() const { return rejected_; }

private:
    bool takePending(const MarkArray &marks, std::int64_t after, std::int64_t last);
    std::int64_t fiducialOf(const MarkArray &marks, const ScaleWindow &scales, std::int64_t g, std::int64_t i) const;
    void accept(std::int64_t s, double rr, Client &client);
    bool looksLikeTWave(double rr, int slope) const;

    int rate_;
    double pairLimit_;  // opposite marks less than 150 ms apart
    int resetGap_;      // 3 s without a candidate

    double meanRr_ = 0.75;
    std::int64_t lastProcessed_ = 0;
    bool hasPending_ = false;
    std::int64_t pending_ = 0;
    int pendingSign_ = 0;
    bool searchedBack_ = false;
    bool hasPrevious_ = false;
    std::int64_t previous_ = 0;
    std::int64_t previousSecondMark_ = 0;  // the later mark of the previous beat's pair
    int previousSlope_ = 0;                // the previous beat's steeper mark on scale 2^2

    int searchBacks_ = 0;
    int resets_ = 0;
    int rejected_ = 0;
};
