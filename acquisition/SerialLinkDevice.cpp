#include "acquisition/SerialLinkDevice.h"

#include "acquisition/Sleeper.h"

SerialLinkDevice::SerialLinkDevice(const LinkSettings &settings, double range, Sleeper *sleeper)
    : settings_(settings), range_(range), sleeper_(sleeper ? *sleeper : Sleeper::system()) {}

SerialLinkDevice::~SerialLinkDevice() { stop(); }

void SerialLinkDevice::start() {
    if (reader_ && reader_->isRunning()) return;
    // Cleared here rather than by the reader, so the worker never sees the
    // old failure once start has returned and restarts the link twice.
    state_.beginRun();
    reader_ = std::make_unique<LinkReader>(settings_, fifo_, state_, sleeper_);
    reader_->start();
}

void SerialLinkDevice::stop() {
    if (!reader_) return;
    reader_->requestStop();
    reader_->wait();
}
