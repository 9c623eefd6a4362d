#include "ui/StressMonitorWindow.h"

#include "analysis/BeatRecord.h"
#include "analysis/ResultNames.h"
#include "store/Study.h"
#include "stress/MonitorEngine.h"
#include "stress/StressRun.h"
#include "stress/MonitorSession.h"
#include "stress/StressEvents.h"
#include "stress/StressMonitorTexts.h"
#include "ui/BPDialog.h"
#include "ui/LiveEcgPanels.h"
#include "ui/MonitorIndicators.h"
#include "ui/QPlotGraphic.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui/TrendSeries.h"
#include "ui_StressMonitorWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QMetaMethod>
#include <QTimer>
#include <algorithm>

static void initMonitorResources() { Q_INIT_RESOURCE(monitor); }

namespace {

constexpr double kPromptLeadSeconds = 1.0;

}  // namespace

StressMonitorWindow::StressMonitorWindow(std::unique_ptr<MonitorSession> session, Study &study, StressRun::Plan plan,
                                         StudyStore *store, const StressMonitorConfig &config, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::StressMonitorWindow>()), session_(std::move(session)),
      study_(study), config_(config) {
    initMonitorResources();
    ui_->setupUi(this);
    addAction(ui_->actionBP);
    addAction(ui_->actionSaveEvent);
    // The run buttons from the keyboard too; Stop needs Ctrl so that no
    // stray key ends a test.
    ui_->btnStart->setShortcut(QKeySequence(Qt::Key_F5));
    ui_->btnNext->setShortcut(QKeySequence(Qt::Key_F6));
    ui_->btnRecovery->setShortcut(QKeySequence(Qt::Key_F7));
    ui_->btnStop->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_F8));

    if (plan.stages) {
        protocolName_ = plan.stages->name;
        protocolType_ = plan.stages->type;
    } else if (plan.ramp) {
        protocolName_ = plan.ramp->name;
    }
    phaseNames_ = StressEvents::phaseNames(protocolType_);
    engine().prepareRun(study, std::move(plan), store);
    engine().addListener(this);
    session_->addListener(this);
    session_->start();

    panels_ =
        new LiveEcgPanels(*ui_->ecgDisplay1, *ui_->ecgDisplay2, *session_, QStringLiteral("MonitorWindow"), *this);
    panels_->applyLeadLayout();
    ui_->btnFilterNotch->setChecked(true);
    ui_->btnFilterLowpass->setChecked(true);
    ui_->btnFilterBaseline->setChecked(true);
    applyFilters();

    hrTrend_ = std::make_unique<TrendSeries>(study_.results(), Result::BpmTrend);
    ui_->graphicHR->setSeries(hrTrend_.get());
    ui_->graphicHR->setStyle(1);
    ui_->graphicHR->setTimeFormat(QStringLiteral("mm:ss"));
    ui_->graphicHR->setXRange(0.0, kTrendSpanSeconds);
    ui_->graphicHR->setYRange(50.0, 200.0);

    ui_->btnStart->setEnabled(true);
    ui_->btnNext->setEnabled(false);
    ui_->btnRecovery->setEnabled(false);
    ui_->btnStop->setEnabled(false);
    setFocus();

    ui_->lblStageInfo->setText(QStringLiteral("<b>%1</b>").arg(protocolName_));
    ui_->lblPatientName->setText(StressMonitorTexts::patientNameText(study_));
    indicators_ = new MonitorIndicators(*ui_->frameECG, *this, config_.lowBatteryLevel);
    if (config_.simulated) indicators_->showSimulated();

    tickTimer_ = new QTimer(this);
    connect(tickTimer_, &QTimer::timeout, this, &StressMonitorWindow::tick);
    tickTimer_->start(kTickMs);
    eventTimer_ = new QTimer(this);
    eventTimer_->setSingleShot(true);
    eventTimer_->setInterval(kEventTimeoutMs);
    connect(eventTimer_, &QTimer::timeout, this, &StressMonitorWindow::eventTimeout);
    resetEventEntry();
    panels_->loadSettings();
}

StressMonitorWindow::~StressMonitorWindow() {
    tickTimer_->stop();
    if (bpDialog_) delete bpDialog_.data();
    panels_->detach();
    ui_->graphicHR->setSeries(nullptr);
    engine().removeListener(this);
    session_->removeListener(this);
    session_->stop();
    panels_->saveSettings();
    session_.reset();
}

MonitorEngine &StressMonitorWindow::engine() const { return session_->engine(); }

BPDialog *StressMonitorWindow::bloodPressurePrompt() const { return bpDialog_; }

QMenu *StressMonitorWindow::contextMenu() const { return panels_->contextMenu(); }

void StressMonitorWindow::applyFilters() {
    panels_->applyFilters(ui_->btnFilterNotch->isChecked(), ui_->btnFilterLowpass->isChecked(),
                          ui_->btnFilterBaseline->isChecked());
}

void StressMonitorWindow::on_btnSpeed12_clicked() { panels_->setSpeed(12.5); }
void StressMonitorWindow::on_btnSpeed25_clicked() { panels_->setSpeed(25.0); }
void StressMonitorWindow::on_btnSpeed50_clicked() { panels_->setSpeed(50.0); }
void StressMonitorWindow::on_btnAmp5_clicked() { panels_->setGain(5.0); }
void StressMonitorWindow::on_btnAmp10_clicked() { panels_->setGain(10.0); }
void StressMonitorWindow::on_btnAmp20_clicked() { panels_->setGain(20.0); }
void StressMonitorWindow::on_btnFilterNotch_clicked() { applyFilters(); }
void StressMonitorWindow::on_btnFilterLowpass_clicked() { applyFilters(); }
void StressMonitorWindow::on_btnFilterBaseline_clicked() { applyFilters(); }

void StressMonitorWindow::on_btnStart_clicked() {
    panels_->attachAverageBeats();
    engine().start(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toUtf8());
    ui_->btnStart->setEnabled(false);
}

void StressMonitorWindow::on_btnNext_clicked() {
    prompts_.stageButtonPressed();
    openBloodPressurePrompt();
    engine().nextStage();
}

void StressMonitorWindow::on_btnRecovery_clicked() {
    prompts_.stageButtonPressed();
    openBloodPressurePrompt();
    engine().goToRecovery();
}

void StressMonitorWindow::on_btnStop_clicked() {
    if (!engine().running()) return;
    prompts_.stopPressed();
    openBloodPressurePrompt();
    if (bpDialog_) {
        QEventLoop waitForPrompt;
        connect(bpDialog_.data(), &QDialog::finished, &waitForPrompt, &QEventLoop::quit);
        waitForPrompt.exec();
    }
    engine().stop();
    ui_->btnStart->setEnabled(false);
    ui_->btnNext->setEnabled(false);
    ui_->btnRecovery->setEnabled(false);
    ui_->btnStop->setEnabled(false);
    ui_->actionSaveEvent->setEnabled(false);
    if (prompts_.printing()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        while (prompts_.printing()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        QGuiApplication::restoreOverrideCursor();
    }
    close();
}

void StressMonitorWindow::on_ecgDisplay1_customContextMenuRequested(const QPoint &pos) {
    panels_->showContextMenu(ui_->ecgDisplay1, pos);
}

void StressMonitorWindow::on_ecgDisplay2_customContextMenuRequested(const QPoint &pos) {
    panels_->showContextMenu(ui_->ecgDisplay2, pos);
}

void StressMonitorWindow::on_actionBP_triggered() {
    if (engine().running()) openBloodPressurePrompt();
}

void StressMonitorWindow::on_actionSaveEvent_triggered() {
    if (ui_->txtEventDescription->isEnabled()) return;
    eventTime_ = StressEvents::operatorEventPosition(engine().recordedTime());
    ui_->txtEventDescription->setPlaceholderText(tr("Describe event and press <Return>"));
    ui_->txtEventDescription->setStyleSheet(QStringLiteral("background-color: lightyellow"));
    ui_->txtEventDescription->setEnabled(true);
    ui_->txtEventDescription->setFocus();
    eventTimer_->start();
}

void StressMonitorWindow::on_txtEventDescription_textChanged(const QString &text) {
    ui_->btnStudyEvent->setEnabled(!text.isEmpty());
}

void StressMonitorWindow::on_txtEventDescription_returnPressed() {
    if (ui_->btnStudyEvent->isEnabled()) ui_->btnStudyEvent->click();
}

void StressMonitorWindow::on_btnStudyEvent_clicked() {
    study_.addEvent() = StressEvents::operatorEvent(eventTime_, ui_->txtEventDescription->text());
    resetEventEntry();
}

void StressMonitorWindow::eventTimeout() {
    if (!ui_->txtEventDescription->text().isEmpty())
        ui_->btnStudyEvent->click();
    else
        resetEventEntry();
}

void StressMonitorWindow::resetEventEntry() {
    ui_->txtEventDescription->clear();
    ui_->txtEventDescription->setEnabled(false);
    ui_->txtEventDescription->setStyleSheet(QString());
    ui_->txtEventDescription->setPlaceholderText(tr("Press <Space> to mark event"));
    ui_->btnStudyEvent->setEnabled(false);
    eventTimer_->stop();
    setFocus();
}

void StressMonitorWindow::openBloodPressurePrompt() {
    const StressRun *run = engine().run();
    if (bpDialog_ || !run || !run->running()) return;
    promptTime_ = engine().recordedTime() - kPromptLeadSeconds;
    QString text;
    if (const Protocol *protocol = run->stageProtocol())
        text = StressEvents::bloodPressurePromptText(*protocol, run->currentStageIndex(), run->stageNumberInPhase(),
                                                     config_.workloadUnit);
    auto *dialog = new BPDialog(text, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowFlags(dialog->windowFlags() | Qt::WindowStaysOnTopHint);
    connect(dialog, &QDialog::finished, this,
            [this, dialog](int result) { promptFinished(dialog, result == QDialog::Accepted); });
    bpDialog_ = dialog;
    dialog->show();
}

void StressMonitorWindow::promptFinished(BPDialog *dialog, bool accepted) {
    // Forgotten as soon as it is answered, not when its deletion comes round.
    bpDialog_ = nullptr;
    if (accepted) {
        engine().addBloodPressure(dialog->sbp(), dialog->dbp(), promptTime_);
        refreshStageTable();
        if (prompts_.promptAccepted(dialog->print())) startStagePrint();
    } else {
        prompts_.promptRejected();
    }
    // Space and F4 must reach the monitor again as soon as the prompt is gone.
    activateWindow();
    if (!ui_->txtEventDescription->isEnabled()) setFocus();
}

void StressMonitorWindow::startStagePrint() {
    if (study_.eventCount() == 0) return;
    // Without a printer attached nothing would ever clear the flag.
    if (!isSignalConnected(QMetaMethod::fromSignal(&StressMonitorWindow::stagePrintRequested))) return;
    prompts_.setPrinting(true);
    indicators_->showPrinting(true);
    emit stagePrintRequested(study_.eventCount() - 1);
}

void StressMonitorWindow::stagePrintFinished() {
    prompts_.setPrinting(false);
    indicators_->showPrinting(false);
}

void StressMonitorWindow::blockProcessed(MonitorEngine &) {
    panels_->refresh();
    if (prompts_.blockProcessed(engine(), bpDialog_ != nullptr)) openBloodPressurePrompt();
}

void StressMonitorWindow::beatDetected(MonitorEngine &, const BeatRecord &beat) {
    if (beat.valid && beat.rr() > 0.0) lastRr_ = beat.rr();
}

void StressMonitorWindow::started(MonitorEngine &) {
    const StressRun *run = engine().run();
    ui_->btnStop->setEnabled(true);
    ui_->actionSaveEvent->setEnabled(true);
    ui_->btnRecovery->setEnabled(false);
    ui_->btnNext->setEnabled(run && run->stageProtocol() && run->stageProtocol()->stageCount() > 1);
    refreshRunView();
    prompts_.started();
}

void StressMonitorWindow::stageChanged(MonitorEngine &) {
    const StressRun *run = engine().run();
    StudyEvent event;
    if (study_.protocol() &&
        StressEvents::stageEndEvent(*study_.protocol(), run->phaseStart(), engine().recordedTime(), &event))
        study_.addEvent() = event;
    refreshRunView();
    ui_->treeProtocol->scrollToBottom();
    const Protocol *protocol = run->stageProtocol();
    const int last = protocol ? protocol->stageCount() - 1 : 0;
    ui_->btnNext->setEnabled(run->running() && protocol && run->currentStageIndex() < last);
    const Stage *stage = run->currentStage();
    ui_->btnRecovery->setEnabled(run->running() && stage && stage->phase == StagePhase::Exercise);
    if (prompts_.stageChanged(bpDialog_ != nullptr)) startStagePrint();
}

void StressMonitorWindow::message(MonitorEngine &, const QString &text) {
    indicators_->showFailure(text);
    // A dropped belt may go on at its last speed while the operator believes
    // the protocol still drives it.
    if (text == StressRun::equipmentFailedText())
        indicators_->showFailure(tr("It no longer follows the protocol: set the load by hand."));
}

void StressMonitorWindow::deviceStateChanged(MonitorSession &, const DeviceState &state) {
    indicators_->showDeviceState(state);
}

void StressMonitorWindow::acquisitionFailed(MonitorSession &, const QString &text, const QString &) {
    indicators_->showFailure(text);
}

void StressMonitorWindow::refreshRunView() {
    const StressRun *run = engine().run();
    const Stage *stage = run ? run->currentStage() : nullptr;
    if (stage) {
        const int phase = std::clamp(static_cast<int>(stage->phase), 0, 2);
        ui_->lblStageInfo->setText(StressMonitorTexts::stageInfoText(
            protocolName_, phaseNames_[static_cast<std::size_t>(phase)], run->stageNumberInPhase(),
            StressEvents::stageLoadText(*run->stageProtocol(), run->currentStageIndex(), config_.workloadUnit)));
    }
    refreshTimers();
    refreshStageTable();
}

void StressMonitorWindow::refreshTimers() {
    const StressRun *run = engine().run();
    if (!run || !run->running()) return;
    const double now = engine().recordedTime();
    ui_->lblTotalElapsedTime->setText(StressMonitorTexts::totalTimeText(now));
    ui_->lblStageElapsedTime->setText(StressMonitorTexts::clockText(now - run->stageStart()));
    const Stage *stage = run->currentStage();
    ui_->lblStageTime->setText(StressMonitorTexts::stageTimeText(stage ? stage->duration : 0.0));
}

void StressMonitorWindow::refreshStageTable() {
    const StressMonitorTexts::StageTable table =
        StressMonitorTexts::stageTable(study_, phaseNames_, config_.workloadUnit);
    QTreeWidget *tree = ui_->treeProtocol;
    tree->clear();
    tree->setColumnCount(table.headers.size());
    tree->setHeaderLabels(table.headers);
    for (const QStringList &row : table.rows) tree->addTopLevelItem(new QTreeWidgetItem(row));
    for (int column = 0; column < table.headers.size(); ++column) tree->resizeColumnToContents(column);
}

void StressMonitorWindow::tick() {
    if (!session_) return;
    session_->pollDeviceState();
    indicators_->showPrinting(prompts_.printing());
    // The rate shows from the first beats, not only once the protocol runs:
    // the technician checks the resting rate while preparing the patient.
    const int hr = StressMonitorTexts::heartRate(lastRr_);
    if (hr > 0) {
        ui_->lblHR->setText(QString::number(hr));
        ui_->lblHRInfo->setText(StressMonitorTexts::heartRateInfoText(hr, StressMonitorTexts::trainingZoneMax(study_),
                                                                      StressMonitorTexts::trainingZoneSubMax(study_)));
    }
    if (!engine().running()) return;
    refreshTimers();
    const double t = engine().recordedTime();
    ui_->graphicHR->setXRange(std::max(0.0, t - kTrendSpanSeconds), std::max(kTrendSpanSeconds, t));
    ui_->graphicHR->setYRange(50.0, 200.0);
    ui_->graphicHR->refresh();
}

void StressMonitorWindow::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    if (indicators_) indicators_->place();
}

void StressMonitorWindow::closeEvent(QCloseEvent *event) {
    if (engine().running()) {
        if (bpDialog_) bpDialog_->reject();
        engine().stop();
    }
    QMainWindow::closeEvent(event);
    // Stage results exist from Start on.
    Q_EMIT testClosed(engine().run() && engine().run()->stageResults());
}
