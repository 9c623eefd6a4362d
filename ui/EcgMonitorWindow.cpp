#include "ui/EcgMonitorWindow.h"

#include "analysis/BeatRecord.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "stress/RestingRecording.h"
#include "stress/StressMonitorTexts.h"
#include "ui/LiveEcgPanels.h"
#include "ui/MonitorIndicators.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui_EcgMonitorWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <cmath>
#include <exception>

static void initMonitorResources() { Q_INIT_RESOURCE(monitor); }

EcgMonitorWindow::EcgMonitorWindow(std::unique_ptr<MonitorSession> session, Study &study, StudyStore *store,
                                   const EcgMonitorConfig &config, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::EcgMonitorWindow>()), session_(std::move(session)), study_(study),
      store_(store), config_(config) {
    initMonitorResources();
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Repeat throws a take away, so it needs Ctrl like the stress monitor's
    // Stop: no stray key may cost the patient a second recording.
    ui_->btnStartRecording->setShortcut(QKeySequence(Qt::Key_F5));
    ui_->btnStopRecording->setShortcut(QKeySequence(Qt::Key_F6));
    ui_->btnRepeatRecording->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_F7));
    ui_->btnSaveRecording->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_S));

    // A run without stages: the engine records and analyses, nothing more.
    engine().prepareRun(study_, StressRun::Plan{}, store_);
    // Subscribed before the window, so the window sees the take's state
    // already changed when the engine tells it of a stop.
    recording_ = std::make_unique<RestingRecording>(engine(), study_, config_.recordingSeconds);
    engine().addListener(this);
    session_->addListener(this);
    session_->start();

    panels_ =
        new LiveEcgPanels(*ui_->ecgDisplay1, *ui_->ecgDisplay2, *session_, QStringLiteral("EcgMonitorWindow"), *this);
    panels_->applyLeadLayout();
    applyFilters();
    panels_->loadSettings();

    ui_->lblPatientName->setText(StressMonitorTexts::patientNameText(study_));
    buildMeasurementGrid();
    indicators_ = new MonitorIndicators(*ui_->frameECG, *this, config_.lowBatteryLevel);
    if (config_.simulated) indicators_->showSimulated();

    tickTimer_ = new QTimer(this);
    connect(tickTimer_, &QTimer::timeout, this, &EcgMonitorWindow::tick);
    tickTimer_->start(kTickMs);
    refreshControls();
    refreshCountdown();
    refreshMeasurements();
}

EcgMonitorWindow::~EcgMonitorWindow() {
    // Deleted without being closed: the launcher must hear of it all the same.
    if (!finished_) finish(saved_);
    recording_.reset();
    session_.reset();
}

MonitorEngine &EcgMonitorWindow::engine() const { return session_->engine(); }

QMenu *EcgMonitorWindow::contextMenu() const { return panels_->contextMenu(); }

void EcgMonitorWindow::applyFilters() {
    panels_->applyFilters(ui_->btnFilterNotch->isChecked(), ui_->btnFilterLowpass->isChecked(),
                          ui_->btnFilterBaseline->isChecked());
}

void EcgMonitorWindow::on_btnSpeed12_clicked() { panels_->setSpeed(12.5); }
void EcgMonitorWindow::on_btnSpeed25_clicked() { panels_->setSpeed(25.0); }
void EcgMonitorWindow::on_btnSpeed50_clicked() { panels_->setSpeed(50.0); }
void EcgMonitorWindow::on_btnAmp5_clicked() { panels_->setGain(5.0); }
void EcgMonitorWindow::on_btnAmp10_clicked() { panels_->setGain(10.0); }
void EcgMonitorWindow::on_btnAmp20_clicked() { panels_->setGain(20.0); }
void EcgMonitorWindow::on_btnFilterNotch_clicked() { applyFilters(); }
void EcgMonitorWindow::on_btnFilterLowpass_clicked() { applyFilters(); }
void EcgMonitorWindow::on_btnFilterBaseline_clicked() { applyFilters(); }

void EcgMonitorWindow::on_ecgDisplay1_customContextMenuRequested(const QPoint &pos) {
    panels_->showContextMenu(ui_->ecgDisplay1, pos);
}

void EcgMonitorWindow::on_ecgDisplay2_customContextMenuRequested(const QPoint &pos) {
    panels_->showContextMenu(ui_->ecgDisplay2, pos);
}

void EcgMonitorWindow::on_btnStartRecording_clicked() {
    if (recording_->state() != RestingRecording::State::Ready) return;
    panels_->attachAverageBeats();
    recording_->start(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toUtf8());
    refreshControls();
    refreshCountdown();
}

void EcgMonitorWindow::on_btnStopRecording_clicked() {
    recording_->stop();
    refreshControls();
}

void EcgMonitorWindow::on_btnRepeatRecording_clicked() {
    try {
        recording_->repeat();
    } catch (const std::exception &e) {
        showError(QString::fromStdString(e.what()));
    }
    refreshControls();
    refreshCountdown();
    refreshMeasurements();
}

void EcgMonitorWindow::on_btnSaveRecording_clicked() {
    if (recording_->state() != RestingRecording::State::Recorded) return;
    try {
        recording_->storeMeasurements();
        if (store_) store_->saveStudy(study_);
    } catch (const std::exception &e) {
        showError(QString::fromStdString(e.what()));
        return;
    }
    saved_ = true;
    close();
}

void EcgMonitorWindow::showError(const QString &text) { QMessageBox::critical(this, tr("Error"), text); }

void EcgMonitorWindow::blockProcessed(MonitorEngine &) {
    panels_->refresh();
    if (recording_->state() == RestingRecording::State::Recording) refreshCountdown();
}

void EcgMonitorWindow::beatDetected(MonitorEngine &, const BeatRecord &beat) {
    if (beat.valid && beat.rr() > 0.0) lastRr_ = beat.rr();
}

void EcgMonitorWindow::stopped(MonitorEngine &) {
    refreshControls();
    refreshCountdown();
    refreshMeasurements();
}

void EcgMonitorWindow::message(MonitorEngine &, const QString &text) { indicators_->showFailure(text); }

void EcgMonitorWindow::deviceStateChanged(MonitorSession &, const DeviceState &state) {
    indicators_->showDeviceState(state);
}

void EcgMonitorWindow::acquisitionFailed(MonitorSession &, const QString &text, const QString &) {
    indicators_->showFailure(text);
}

void EcgMonitorWindow::refreshControls() {
    const RestingRecording::State state = recording_->state();
    ui_->btnStartRecording->setEnabled(state == RestingRecording::State::Ready);
    ui_->btnStopRecording->setEnabled(state == RestingRecording::State::Recording);
    ui_->btnRepeatRecording->setEnabled(state != RestingRecording::State::Ready);
    ui_->btnSaveRecording->setEnabled(state == RestingRecording::State::Recorded);
    switch (state) {
    case RestingRecording::State::Ready: ui_->lblRecordingState->setText(tr("Ready to record")); break;
    case RestingRecording::State::Recording: ui_->lblRecordingState->setText(tr("Recording...")); break;
    case RestingRecording::State::Recorded:
        ui_->lblRecordingState->setText(tr("Recorded %1 s").arg(std::round(engine().recordedTime() * 10.0) / 10.0));
        break;
    }
}

void EcgMonitorWindow::refreshCountdown() {
    // Whole seconds still to go, rounded up: the take ends as 0:00 shows.
    const int left = static_cast<int>(std::ceil(recording_->remainingSeconds() - 1e-9));
    ui_->lblCountdown->setText(QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0')));
}

void EcgMonitorWindow::buildMeasurementGrid() {
    // Three columns of three, read down: rate and the P and QRS intervals,
    // the QRS and QT durations, the axes; it fits beside the controls where
    // a one-line table would not.
    constexpr int kRows = 3;
    const QStringList names = RestingEcgMeasurements::tableHeaders();
    for (int i = 0; i < names.size(); ++i) {
        auto *name = new QLabel(names[i], ui_->frameMeasurements);
        auto *value = new QLabel(ui_->frameMeasurements);
        value->setObjectName(QStringLiteral("lblMeasurement%1").arg(i));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        // Room for the widest value, so the grid does not shift when it shows.
        value->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("-000") + QChar(0x00B0)));
        ui_->layoutMeasurements->addWidget(name, i % kRows, (i / kRows) * 2);
        ui_->layoutMeasurements->addWidget(value, i % kRows, (i / kRows) * 2 + 1);
        measurementValues_.push_back(value);
    }
    ui_->layoutMeasurements->setColumnStretch(ui_->layoutMeasurements->columnCount(), 1);
}

QStringList EcgMonitorWindow::shownMeasurements() const {
    QStringList shown;
    for (const QLabel *value : measurementValues_)
        if (!value->text().isEmpty()) shown << value->text();
    return shown;
}

void EcgMonitorWindow::refreshMeasurements() {
    const bool recorded = recording_->state() == RestingRecording::State::Recorded;
    const QStringList values = recorded ? recording_->measurements().tableValues() : QStringList();
    for (std::size_t i = 0; i < measurementValues_.size(); ++i)
        measurementValues_[i]->setText(values.value(static_cast<int>(i)));
}

void EcgMonitorWindow::tick() {
    if (!session_ || finished_) return;
    session_->pollDeviceState();
    const int hr = StressMonitorTexts::heartRate(lastRr_);
    if (hr > 0) ui_->lblHR->setText(QString::number(hr));
    refreshCountdown();
}

void EcgMonitorWindow::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    if (indicators_) indicators_->place();
}

void EcgMonitorWindow::closeEvent(QCloseEvent *event) {
    if (finished_) {
        QMainWindow::closeEvent(event);
        return;
    }
    if (!saved_ && recording_->state() != RestingRecording::State::Ready) {
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, tr("Confirm"), tr("The recording was not saved. Discard it?"),
                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    finish(saved_);
    QMainWindow::closeEvent(event);
}

void EcgMonitorWindow::finish(bool saved) {
    finished_ = true;
    tickTimer_->stop();
    recording_->stop();
    panels_->detach();
    engine().removeListener(this);
    session_->removeListener(this);
    session_->stop();
    panels_->saveSettings();
    emit recordingFinished(saved);
}
