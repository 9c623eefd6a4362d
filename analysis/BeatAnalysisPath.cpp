#include "analysis/BeatAnalysisPath.h"

#include "analysis/PointRefiner.h"

#include <algorithm>

BeatAnalysisPath::BeatAnalysisPath(SignalSource &analysisFeed, SignalSource &deviceSignal)
    : analysisFeed_(analysisFeed), deviceSignal_(deviceSignal), averagingFeed_(deviceSignal),
      classifier_(analysisFeed, analysisFeed.channelCount()), analyzer_(classifier_),
      averages_(&averagingFeed_.output()) {
    classifier_.addListener(this);
}

BeatAnalysisPath::~BeatAnalysisPath() {
    analyzer_.stop();
    classifier_.removeListener(this);
}

void BeatAnalysisPath::start(double startTime, double endTime) {
    classifier_.setTimesOfInterest(startTime, endTime);
    analyzer_.start(analysisFeed_, startTime, endTime);
}

void BeatAnalysisPath::process() {
    averagingFeed_.process();
    if (analyzer_.running()) analyzer_.run();
}

void BeatAnalysisPath::finish() {
    averagingFeed_.process();
    analyzer_.finish();
    classifier_.finish();
}

void BeatAnalysisPath::stop() {
    analyzer_.stop();
    classifier_.stop();
}

void BeatAnalysisPath::addBeatListener(BeatListener *listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void BeatAnalysisPath::removeBeatListener(BeatListener *listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void BeatAnalysisPath::beatEmitted(const BeatRecord &emitted) {
    BeatRecord beat = emitted;
    refinePoints(beat, deviceSignal_, std::min(deviceSignal_.channelCount(), BeatRecord::kMaxLeads));
    averages_.addBeat(beat);
    const auto current = listeners_;
    for (BeatListener *listener : current) listener->beatEmitted(beat);
}
