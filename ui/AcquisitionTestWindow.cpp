#include "ui/AcquisitionTestWindow.h"

#include "acquisition/AcqDevice.h"
#include "analysis/MonitorFeeds.h"
#include "stress/DeviceState.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui_AcquisitionTestWindow.h"

#include <QTimer>

namespace {

// The twelve standard leads fill the window; CM5 and CR5 would only
// squeeze them.
constexpr int kStandardLeads = 12;
constexpr int kPollMs = 500;

}  // namespace

AcquisitionTestWindow::AcquisitionTestWindow(std::unique_ptr<MonitorSession> session, QWidget *parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::AcquisitionTestWindow>()), session_(std::move(session)) {
    ui_->setupUi(this);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);

    const AcqDevice &device = session_->device();
    for (int channel = 0; channel < device.channelCount(); ++channel)
        ui_->ecgDisplay->setLeadShown(channel, channel < kStandardLeads);
    ui_->ecgDisplay->setAmplitudeCalibration(QSignalMonitorDisplay::fullScaleForBits(device.resolutionBits()));
    MonitorEngine &engine = session_->engine();
    engine.feeds().configureLiveChain(true, true, true);
    ui_->ecgDisplay->setSource(&engine.feeds().liveOutput());
    ui_->lblStatus->clear();
    ui_->lblDevice->setText(describe(session_->deviceState()));

    engine.addListener(this);
    session_->addListener(this);
    session_->start();
    pollTimer_ = new QTimer(this);
    connect(pollTimer_, &QTimer::timeout, this, &AcquisitionTestWindow::pollDevice);
    pollTimer_->start(kPollMs);
}

AcquisitionTestWindow::~AcquisitionTestWindow() {
    pollTimer_->stop();
    ui_->ecgDisplay->setSource(nullptr);
    session_->engine().removeListener(this);
    session_->removeListener(this);
    session_->stop();
    session_.reset();
}

QSignalMonitorDisplay *AcquisitionTestWindow::display() const { return ui_->ecgDisplay; }

QString AcquisitionTestWindow::statusText() const { return ui_->lblStatus->text(); }

QString AcquisitionTestWindow::deviceText() const { return ui_->lblDevice->text(); }

QString AcquisitionTestWindow::describe(const DeviceState &state) {
    if (!state.connected) return tr("No link with the device");
    QStringList parts;
    // The replay has no battery to tell of.
    if (state.batteryVolts > 0.0) parts << tr("Battery: %1 V").arg(state.batteryVolts, 0, 'f', 2);
    parts << (state.anyElectrodeOff() ? tr("Electrodes off: %1").arg(state.electrodesOff.join(QStringLiteral(", ")))
                                      : tr("All electrodes connected"));
    return parts.join(QStringLiteral("    "));
}

void AcquisitionTestWindow::deviceStateChanged(MonitorSession &, const DeviceState &state) {
    ui_->lblDevice->setText(describe(state));
}

void AcquisitionTestWindow::blockProcessed(MonitorEngine &) { ui_->ecgDisplay->refresh(); }

void AcquisitionTestWindow::acquisitionFailed(MonitorSession &, const QString &text, const QString &detail) {
    ui_->lblStatus->setText(detail.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, detail));
}

void AcquisitionTestWindow::pollDevice() { session_->pollDeviceState(); }
