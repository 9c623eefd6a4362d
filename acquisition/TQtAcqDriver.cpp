#include "acquisition/TQtAcqDriver.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/AcqDriverListener.h"
#include "acquisition/TQtAcqDriverThread.h"
#include "analysis/SignalSource.h"

#include <QCoreApplication>
#include <QEvent>

TQtAcqDriver::TQtAcqDriver(AcqDevice &device, SignalSource &sink, Sleeper *sleeper, QObject *parent)
    : TAcqDriver(device, sink, parent),
      thread_(std::make_unique<TQtAcqDriverThread>(device, muteBytes(), muteChannelCount(), sleeper)) {}

TQtAcqDriver::~TQtAcqDriver() { stop(); }

void TQtAcqDriver::start() {
    if (running_ || thread_->isFinished()) return;
    qRegisterMetaType<QVector<char>>("QVector<char>");
    dataConnection_ =
        connect(thread_.get(), &TQtAcqDriverThread::data, this, &TQtAcqDriver::dataCallback, Qt::QueuedConnection);
    pacemakerConnection_ = connect(thread_.get(), &TQtAcqDriverThread::pacemaker, this,
                                   &TQtAcqDriver::pacemakerCallback, Qt::BlockingQueuedConnection);
    errorConnection_ = connect(thread_.get(), &TQtAcqDriverThread::error, this, &TQtAcqDriver::errorCallback,
                               Qt::BlockingQueuedConnection);
    running_ = true;
    thread_->start(QThread::InheritPriority);
}

void TQtAcqDriver::stop() {
    if (!running_) return;
    disconnect(dataConnection_);
    disconnect(pacemakerConnection_);
    disconnect(errorConnection_);
    running_ = false;
    thread_->requestInterruption();
    // The worker may be blocked handing us an error or a pacemaker pulse it
    // posted before the disconnect; deliver those calls (the slots ignore them
    // now) so the worker can finish instead of waiting on us forever.
    while (!thread_->wait(10)) QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
}

void TQtAcqDriver::requestReset() { thread_->requestReset(); }

bool TQtAcqDriver::channelSaturated(int channel) { return device().channelSaturated(channel); }

bool TQtAcqDriver::electrodeOff(const QString &electrode) { return device().electrodeOff(electrode); }

double TQtAcqDriver::batteryVoltage() { return device().batteryVoltage(); }

void TQtAcqDriver::dataCallback(QVector<char> dataBlock) {
    if (!running_) return;
    sink().appendInterleaved16(dataBlock.constData(), dataBlock.size());
    const auto current = listeners();  // a listener may unsubscribe while told
    for (AcqDriverListener *listener : current) listener->acqBlockArrived(*this);
}

void TQtAcqDriver::pacemakerCallback(int sampleOffset) {
    if (!running_) return;
    const auto current = listeners();
    for (AcqDriverListener *listener : current) listener->acqPacemakerPulse(*this, sampleOffset);
}

void TQtAcqDriver::errorCallback() {
    if (!running_) return;
    const QString message = thread_->errorText();
    const auto current = listeners();
    for (AcqDriverListener *listener : current) listener->acqError(*this, message);
}
