#include "acquisition/TAcqDriver.h"

#include "acquisition/AcqDriverListener.h"
#include "analysis/SignalSource.h"

#include <algorithm>

TAcqDriver::TAcqDriver(AcqDevice &device, SignalSource &sink, QObject *parent)
    : QObject(parent), device_(device), sink_(sink), muteCount_(sink.channelCount()),
      mute_(new std::atomic<unsigned char>[static_cast<std::size_t>(std::max(1, sink.channelCount()))]) {
    for (int i = 0; i < std::max(1, muteCount_); ++i) mute_[i] = 0;
}

TAcqDriver::~TAcqDriver() = default;

void TAcqDriver::addListener(AcqDriverListener *listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TAcqDriver::removeListener(AcqDriverListener *listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void TAcqDriver::setChannelMuted(int channel, bool muted) {
    if (channel >= 0 && channel < muteCount_) mute_[channel] = muted ? 1 : 0;
}

bool TAcqDriver::channelMuted(int channel) const { return channel >= 0 && channel < muteCount_ && mute_[channel] != 0; }
