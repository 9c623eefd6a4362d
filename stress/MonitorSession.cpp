#include "stress/MonitorSession.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/TQtAcqDriver.h"
#include "stress/MonitorEngine.h"
#include "stress/SessionListener.h"

#include <QCoreApplication>
#include <stdexcept>

QString MonitorSession::deviceFailedText() {
    return QCoreApplication::translate("MonitorSession", "Communication with ECG acquiring device failed.");
}

namespace {

MonitorEngine::SignalFormat formatOf(const AcqDevice &device) {
    MonitorEngine::SignalFormat format;
    format.channelCount = device.channelCount();
    format.samplingRate = device.samplingRate();
    format.rangeMv = device.amplitudeMax();
    format.resolutionBits = device.resolutionBits();
    for (int i = 0; i < device.channelCount(); ++i) format.channelNames << device.channelName(i);
    return format;
}

}  // namespace

MonitorSession::MonitorSession(std::unique_ptr<AcqDevice> device, bool withDisplay, Sleeper *sleeper)
    : device_(std::move(device)) {
    if (!device_) throw std::invalid_argument("No acquisition device");
    engine_ = std::make_unique<MonitorEngine>(formatOf(*device_), withDisplay);
    driver_ = std::make_unique<TQtAcqDriver>(*device_, engine_->raw(), sleeper);
    driver_->addListener(this);
    state_ = currentDeviceState();
}

MonitorSession::~MonitorSession() {
    stop();
    driver_->removeListener(this);
    // The driver refers to the engine's buffer and to the device.
    driver_.reset();
    engine_.reset();
}

void MonitorSession::start() {
    if (started_) return;
    started_ = true;
    sinceLastBlock_.start();
    driver_->start();
}

void MonitorSession::stop() {
    if (!started_ || stopped_) return;
    stopped_ = true;
    driver_->stop();
}

DeviceState MonitorSession::currentDeviceState() const {
    DeviceState state;
    state.connected = device_->isOk();
    state.batteryVolts = device_->batteryVoltage();
    for (const QString &electrode : DeviceState::monitoredElectrodes())
        if (device_->electrodeOff(electrode)) state.electrodesOff << electrode;
    for (int channel = 0; channel < device_->channelCount(); ++channel)
        if (device_->channelSaturated(channel)) state.inoperativeLeads.push_back(channel);
    // A worker that gave up leaves no link, whatever the source says.
    if (failed_) state.connected = false;
    if (acquiring() && sinceLastBlock_.elapsed() > kSilenceMs) state.connected = false;
    return state;
}

void MonitorSession::pollDeviceState() {
    const DeviceState now = currentDeviceState();
    if (now == state_) return;
    state_ = now;
    listeners_.notify([this](SessionListener &l) { l.deviceStateChanged(*this, state_); });
}

void MonitorSession::acqBlockArrived(TAcqDriver &) {
    sinceLastBlock_.restart();
    engine_->processBlock();
}

void MonitorSession::acqPacemakerPulse(TAcqDriver &, int sampleOffset) {
    // Announced before the block it lies in reaches the raw buffer.
    engine_->pacemakerPulse(engine_->raw().length() + sampleOffset);
}

void MonitorSession::acqError(TAcqDriver &, const QString &message) {
    failed_ = true;
    const QString text = deviceFailedText();
    listeners_.notify([&](SessionListener &l) { l.acquisitionFailed(*this, text, message); });
    pollDeviceState();
}
