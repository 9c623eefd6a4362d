#include "analysis/SignalSource.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <stdexcept>

SignalSource::SignalSource(int channelCount, int samplingRate, int blockSize)
    : samplingRate_(samplingRate), blockSize_(blockSize) {
    if (channelCount < 0 || blockSize <= 0 || samplingRate <= 0) throw std::invalid_argument("Invalid signal geometry");
    channels_.reserve(channelCount);
    for (int i = 0; i < channelCount; ++i) channels_.emplace_back(i, this);
}

SignalSource::~SignalSource() = default;

QString SignalSource::channelName(int index) const {
    if (index < 0 || index >= channelCount()) return QString();
    return channels_[index].name();
}

void SignalSource::setChannelName(int index, const QString &name) {
    if (index >= 0 && index < channelCount()) channels_[index].setName(name);
}

void SignalSource::setChannelNames(const QStringList &names) {
    for (int i = 0; i < channelCount() && i < names.size(); ++i) channels_[i].setName(names[i]);
}

QStringList SignalSource::channelNames() const {
    QStringList names;
    for (const SignalChannel &c : channels_) names << c.name();
    return names;
}

double SignalSource::unitValue() const { return (amplitudeMax_ - amplitudeMin_) / std::ldexp(1.0, resolutionBits_); }

void SignalSource::copyMetadataFrom(const SignalSource &other) {
    setAmplitudeRange(other.amplitudeMin(), other.amplitudeMax());
    setResolutionBits(other.resolutionBits());
    setChannelNames(other.channelNames());
}

void SignalSource::addListener(SignalListener *listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void SignalSource::removeListener(SignalListener *listener) {
    auto it = std::find(listeners_.begin(), listeners_.end(), listener);
    if (it == listeners_.end()) return;
    if (notifying_ > 0)
        *it = nullptr;  // compacted once the outermost notification ends
    else
        listeners_.erase(it);
}

void SignalSource::notifyAppended() {
    // Index loop: a listener may add or remove listeners while being told.
    ++notifying_;
    for (std::size_t i = 0; i < listeners_.size(); ++i)
        if (SignalListener *l = listeners_[i]) l->samplesAppended(*this);
    if (--notifying_ == 0)
        listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), nullptr), listeners_.end());
}

SampleBlock SignalSource::getBlock(int channel, std::int64_t block) const {
    if (block < 0 || block >= blockCount() || channel < 0 || channel >= channelCount()) return nullptr;
    SampleBlock data(new std::int16_t[blockSize_]);
    if (!readBlock(channel, block, data.get())) return nullptr;
    return data;
}
