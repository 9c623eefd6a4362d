#pragma once
// The live beat analysis of a monitoring session, as one object chain: QRS
// detection on the 250 samples/s analysis feed, classification, point
// refinement on the device-rate signal, and the average beats built from the
// averaging feed. Batch tools drive exactly this chain, only faster.

#include "analysis/AverageBeatBuilder.h"
#include "analysis/AveragingFeed.h"
#include "analysis/BeatAnalyzer.h"
#include "analysis/BeatClassifier.h"
#include "analysis/BeatListener.h"

#include <memory>
#include <vector>

class BeatAnalysisPath : private BeatListener {
public:
    // `analysisFeed`: the 250 samples/s feed of `deviceSignal` (the raw
    // buffer); both must outlive the path.
    BeatAnalysisPath(SignalSource &analysisFeed, SignalSource &deviceSignal);
    ~BeatAnalysisPath() override;
    BeatAnalysisPath(const BeatAnalysisPath &) = delete;
    BeatAnalysisPath &operator=(const BeatAnalysisPath &) = delete;

    // Detection starts at the analysis feed's current end.
    void start(double startTime = 0.0, double endTime = 0.0);
    // The engine tick, after the feeds were advanced: filters the averaging
    // feed and runs detection over what arrived.
    void process();
    // The input ended (end of a file, Stop of a test, Stop recording): hands
    // on every beat detection and classification still hold, so the last
    // beats of a recording are not lost. Detection is then stopped; start()
    // resumes it on new signal.
    void finish();
    void stop();

    // Told of every emitted beat after its points were refined and it joined
    // the averages, in registration order.
    void addBeatListener(BeatListener *listener);
    void removeBeatListener(BeatListener *listener);

    BeatClassifier &classifier() { return classifier_; }
    const BeatStore &beats() const { return classifier_.store(); }
    AverageBeatBuilder &averages() { return averages_; }
    SignalBuffer &averagingFeed() const { return averagingFeed_.output(); }
    const BeatAnalyzer &analyzer() const { return analyzer_; }

private:
    void beatEmitted(const BeatRecord &beat) override;

    SignalSource &analysisFeed_;
    SignalSource &deviceSignal_;
    AveragingFeed averagingFeed_;
    BeatClassifier classifier_;
    BeatAnalyzer analyzer_;
    AverageBeatBuilder averages_;
    std::vector<BeatListener *> listeners_;
};
