#include "ui/StressReviewWindow.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecord.h"
#include "analysis/BeatRecordCodec.h"
#include "analysis/ReviewFilterChain.h"
#include "store/ExerciseFindings.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/ExerciseScores.h"
#include "stress/ReviewPosition.h"
#include "stress/ReviewStLevels.h"
#include "stress/StagePressureEdit.h"
#include "stress/StressEvents.h"
#include "stress/StressMonitorTexts.h"
#include "ui/EventListControls.h"
#include "ui/PhraseListControls.h"
#include "ui/PredefinedPhrases.h"
#include "ui/RecordAverageBeats.h"
#include "ui/ReviewDisplayMenu.h"
#include "ui/ReviewTrendPlots.h"
#include "ui/StudyDialog.h"
#include "ui_StressReviewWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <algorithm>

static void initReviewResources() { Q_INIT_RESOURCE(monitor); }

namespace {

const char *const kColorSchemeKey = "ReviewWindow/DisplayColorScheme";
const char *const kHexaxialKey = "ReviewWindow/HexaxialOrder";
const char *const kAverageBeatKey = "ReviewWindow/ShowAverageBeat";
const char *const kStLeadKey = "ReviewWindow/STLeadName";
const char *const kDefaultStLead = "V5";
constexpr int kStandardLeads = 12;

}  // namespace

StressReviewWindow::StressReviewWindow(Study &study, StudyStore &store, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::StressReviewWindow>()), study_(study), store_(store),
      phrases_(std::make_unique<PredefinedPhrases>()) {
    initReviewResources();
    ui_->setupUi(this);
    const Protocol *recorded = study_.protocol();
    tiltTest_ = recorded && recorded->type == ProtocolType::TiltTest;
    phaseNames_ = StressEvents::phaseNames(recorded ? recorded->type : ProtocolType::Treadmill);
    workloadUnit_ =
        QSettings().value(QStringLiteral("Config/ErgometerWorkloadUnits")).toString() == QLatin1String("watts")
            ? QStringLiteral("watts")
            : QStringLiteral("kgm/min");
    refreshTitle();

    FileSignal *signal = study_.recording();
    double duration = 0.0;
    if (signal) {
        duration = static_cast<double>(signal->length()) / std::max(1, signal->samplingRate());
        displayChain_ = std::make_unique<ReviewFilterChain>(*signal);
        stChain_ = std::make_unique<ReviewFilterChain>(*signal);
        stChain_->configure(true, true, true);
        ui_->ecgDisplay1->setAmplitudeCalibration(EcgDisplayBase::fullScaleForBits(signal->resolutionBits()));
        for (int lead = kStandardLeads; lead < signal->channelCount(); ++lead)
            ui_->ecgDisplay1->setLeadShown(lead, false);
    }
    loadBeats();
    applyFilters();
    connect(ui_->ecgDisplay1, &QSignalBrowseDisplay::startTimeChanged, this, [this] { refreshPosition(); });

    ui_->textConclusion->setPlainText(QString::fromUtf8(study_.property("conclusion")));
    connect(ui_->textConclusion, &QPlainTextEdit::textChanged, this, [this] { conclusionModified_ = true; });
    ui_->treeEvents->setColumnWidth(0, 50);
    ui_->treeEvents->setColumnWidth(1, 150);
    eventControls_ = new EventListControls(
        study_, {ui_->treeEvents, ui_->btnAddEvent, ui_->btnRemoveEvent, ui_->ecgDisplay1, ui_->tabs, ui_->tabEvents},
        kEventSeconds, [this] { modified_ = true; }, [this] { refreshPosition(); }, this);
    ui_->tabs->setCurrentIndex(0);

    trends_ = std::make_unique<ReviewTrendPlots>(
        ReviewTrendPlots::Plots{ui_->graphicHR, ui_->graphicBP, ui_->graphicDP, ui_->graphicST, ui_->graphicMETS},
        study_.results(), duration, tiltTest_);
    for (QPlotGraphic *plot : trends_->shown())
        connect(plot, &QPlotGraphic::selectedValueChanged, this, [this, plot] { showPosition(plot->cursorTime()); });

    phraseControls_ = new PhraseListControls(
        *phrases_,
        {ui_->listPredefinedText, ui_->btnPredefinedAdd, ui_->btnPredefinedRemove, ui_->btnPredefinedUp,
         ui_->btnPredefinedDown, ui_->chkPredefinedAlphaSort, ui_->textConclusion},
        [this] { flushConclusion(); }, this);
    loadSettings();
    eventControls_->fill();
    fillFindings();
    refreshScores();
    ui_->btnEcho->hide();

    fastTimer_ = new QTimer(this);
    connect(fastTimer_, &QTimer::timeout, this, [this] {
        refreshPosition();
        refreshStReading();
    });
    fastTimer_->start(kFastTimerMs);
    slowTimer_ = new QTimer(this);
    connect(slowTimer_, &QTimer::timeout, this, &StressReviewWindow::flushConclusion);
    slowTimer_->start(kSlowTimerMs);
    refreshPosition();
}

StressReviewWindow::~StressReviewWindow() {
    ui_->ecgDisplay1->setAverageBeatProvider(nullptr);
    ui_->ecgDisplay1->setSource(nullptr);
    trends_.reset();
}

void StressReviewWindow::loadBeats() {
    const BeatFile *file = study_.beats();
    if (!file) return;
    const int channels = std::min(file->channelCount(), static_cast<int>(BeatRecord::kMaxLeads));
    const int size = BeatRecordCodec::recordSize(channels);
    QByteArray bytes;
    bool included = true;
    std::vector<QSignalBrowseDisplay::Beat> marks;
    for (std::int64_t i = 0; i < file->count(); ++i) {
        if (!file->read(i, bytes, &included) || !included || bytes.size() < size) continue;
        beats_.push_back(BeatRecordCodec::fromBytes(bytes.constData(), channels));
        marks.push_back({beats_.back().fiducialTime(), true});
    }
    ui_->ecgDisplay1->setBeats(std::move(marks));
    if (stChain_ && study_.recording() && study_.protocol()) {
        const double unit = study_.recording()->amplitudeMax() /
                            std::max(1, EcgDisplayBase::fullScaleForBits(study_.recording()->resolutionBits()));
        stLevels_ = std::make_unique<ReviewStLevels>(stChain_->output(), beats_, *study_.protocol(), unit);
    }
}

void StressReviewWindow::applyFilters() {
    if (!displayChain_) return;
    // The inset reads the chain's stages, which configure() replaces.
    ui_->ecgDisplay1->setAverageBeatProvider(nullptr);
    displayChain_->configure(ui_->btnFilterNotch->isChecked(), ui_->btnFilterLowpass->isChecked(),
                             ui_->btnFilterBaseline->isChecked());
    ui_->ecgDisplay1->setSource(&displayChain_->output());
    rebuildInset();
}

void StressReviewWindow::rebuildInset() {
    if (!displayChain_ || !study_.recording()) return;
    const double unit = study_.recording()->amplitudeMax() /
                        std::max(1, EcgDisplayBase::fullScaleForBits(study_.recording()->resolutionBits()));
    ui_->ecgDisplay1->setAverageBeatProvider(std::make_unique<RecordAverageBeats>(displayChain_->output(), beats_, unit,
                                                                                  RecordAverageBeats::Leads::OnDemand));
}

double StressReviewWindow::position() const {
    const QSignalBrowseDisplay *display = ui_->ecgDisplay1;
    return std::min(display->startTime() + display->pageSeconds(), display->recordSeconds());
}

void StressReviewWindow::showPosition(double seconds) {
    ui_->ecgDisplay1->setStartTime(std::max(0.0, seconds - ui_->ecgDisplay1->pageSeconds()));
    refreshPosition();
}

std::optional<double> StressReviewWindow::stLevelAtPosition() const {
    if (!stLevels_) return std::nullopt;
    return stLevels_->levelAt(stLead(), position());
}

void StressReviewWindow::refreshPosition() {
    const double t = position();
    if (t == shownPosition_) return;
    shownPosition_ = t;
    trends_->setCursorTime(t);
    const ReviewPosition p = ReviewPosition::at(study_, t);
    ui_->lblStageElapsedTime->setText(StressMonitorTexts::clockText(p.stageElapsed));
    ui_->lblTotalElapsedTime->setText(StressMonitorTexts::totalTimeText(t));
    ui_->lblStageTime->setText(StressMonitorTexts::stageTimeText(p.stageDuration));
    ui_->lblHR->setText(QString::number(p.heartRate));
    ui_->lblHRInfo->setText(StressMonitorTexts::heartRateInfoText(
        p.heartRate, StressMonitorTexts::trainingZoneMax(study_), StressMonitorTexts::trainingZoneSubMax(study_)));
    const Protocol *recorded = study_.protocol();
    const QString name = recorded ? recorded->name : QString::fromUtf8(study_.property("protocolName"));
    const QString load =
        recorded && p.stage >= 0 ? StressEvents::stageLoadText(*recorded, p.stage, workloadUnit_) : QString();
    ui_->lblStageInfo->setText(p.stage >= 0
                                   ? StressMonitorTexts::stageInfoText(
                                         name, phaseNames_[static_cast<std::size_t>(p.phase)], p.numberInPhase, load)
                                   : QStringLiteral("<b>%1</b>").arg(name));
}

void StressReviewWindow::refreshStReading() {
    // Entering a stage replays its beats, too slow to do on every scroll.
    const double t = position();
    if (t == stPosition_) return;
    stPosition_ = t;
    const std::optional<double> st = stLevelAtPosition();
    ui_->lblSTInfo->setText(st ? QString::asprintf("ST [%s] %.1f mm", qUtf8Printable(stLeadName_), 10.0 * *st)
                               : QStringLiteral("ST [%1] -").arg(stLeadName_));
}

// ---- ST lead -------------------------------------------------------------

int StressReviewWindow::stLead() const {
    const FileSignal *signal = study_.recording();
    if (!signal) return -1;
    const int index = signal->channelNames().indexOf(stLeadName_);
    return index >= 0 && index < StudyResults::kLeadSlots ? index : -1;
}

void StressReviewWindow::setStLead(const QString &name) {
    stLeadName_ = name;
    if (stLead() < 0) stLeadName_ = QLatin1String(kDefaultStLead);
    const int lead = stLead() >= 0 ? stLead() : StressMonitorTexts::kDefaultStLead;
    trends_->setStLead(lead, stLeadName_);
    QSettings().setValue(QLatin1String(kStLeadKey), stLeadName_);
    fillStageTable();
    shownPosition_ = stPosition_ = -1.0;
    refreshPosition();
}

void StressReviewWindow::on_graphicST_customContextMenuRequested(const QPoint &pos) {
    if (!contextMenu_) contextMenu_ = new QMenu(this);
    contextMenu_->clear();
    QMenu *leads = contextMenu_->addMenu(tr("ST lead"));
    const FileSignal *signal = study_.recording();
    for (int c = 0; signal && c < std::min(signal->channelCount(), StudyResults::kLeadSlots); ++c) {
        const QString name = signal->channelName(c);
        QAction *action = leads->addAction(name);
        action->setCheckable(true);
        action->setChecked(name == stLeadName_);
        connect(action, &QAction::triggered, this, [this, name] { setStLead(name); });
    }
    contextMenu_->popup(ui_->graphicST->mapToGlobal(pos));
}

// ---- display controls -----------------------------------------------------

void StressReviewWindow::on_btnSpeed12_clicked() { ui_->ecgDisplay1->setSpeed(12.5); }
void StressReviewWindow::on_btnSpeed25_clicked() { ui_->ecgDisplay1->setSpeed(25.0); }
void StressReviewWindow::on_btnSpeed50_clicked() { ui_->ecgDisplay1->setSpeed(50.0); }
void StressReviewWindow::on_btnAmp5_clicked() { ui_->ecgDisplay1->setGain(5.0); }
void StressReviewWindow::on_btnAmp10_clicked() { ui_->ecgDisplay1->setGain(10.0); }
void StressReviewWindow::on_btnAmp20_clicked() { ui_->ecgDisplay1->setGain(20.0); }
void StressReviewWindow::on_btnFilterNotch_clicked() { applyFilters(); }
void StressReviewWindow::on_btnFilterLowpass_clicked() { applyFilters(); }
void StressReviewWindow::on_btnFilterBaseline_clicked() { applyFilters(); }

void StressReviewWindow::on_ecgDisplay1_customContextMenuRequested(const QPoint &pos) {
    if (!contextMenu_) contextMenu_ = new QMenu(this);
    QSignalBrowseDisplay *display = ui_->ecgDisplay1;
    ReviewDisplayMenu::fill(
        *contextMenu_, *display, study_.recording(), [this, pos] { on_ecgDisplay1_customContextMenuRequested(pos); },
        [display](const QString &name) { display->setColorScheme(name); });
    QAction *graphics = contextMenu_->addAction(tr("Show graphics"));
    graphics->setCheckable(true);
    graphics->setChecked(!ui_->frameTools->isHidden());
    connect(graphics, &QAction::triggered, ui_->frameTools, &QWidget::setVisible);
    contextMenu_->popup(display->mapToGlobal(pos));
}

// ---- stage table -----------------------------------------------------------

void StressReviewWindow::fillStageTable() {
    filling_ = true;
    const int current = ui_->treeProtocol->indexOfTopLevelItem(ui_->treeProtocol->currentItem());
    const StressMonitorTexts::StageTable table =
        StressMonitorTexts::stageTable(study_, phaseNames_, workloadUnit_, trends_->stLead(), stLeadName_);
    ui_->treeProtocol->clear();
    ui_->treeProtocol->setColumnCount(table.headers.size());
    ui_->treeProtocol->setHeaderLabels(table.headers);
    // "SBP/DBP" and "DP" come fourth and third from the end whatever the
    // protocol's load columns.
    pressureColumn_ = table.headers.size() - 4;
    dpColumn_ = table.headers.size() - 3;
    for (const QStringList &row : table.rows) {
        auto *item = new QTreeWidgetItem(ui_->treeProtocol, row);
        for (int c = 1; c < row.size(); ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < table.headers.size(); ++c) ui_->treeProtocol->resizeColumnToContents(c);
    if (current >= 0 && current < ui_->treeProtocol->topLevelItemCount())
        ui_->treeProtocol->setCurrentItem(ui_->treeProtocol->topLevelItem(current));
    filling_ = false;
}

void StressReviewWindow::selectStage(int row) {
    if (row < 0 || row >= ui_->treeProtocol->topLevelItemCount()) return;
    ui_->treeProtocol->setCurrentItem(ui_->treeProtocol->topLevelItem(row));
}

void StressReviewWindow::on_btnPrevStage_clicked() {
    selectStage(ui_->treeProtocol->indexOfTopLevelItem(ui_->treeProtocol->currentItem()) - 1);
}

void StressReviewWindow::on_btnNextStage_clicked() {
    selectStage(ui_->treeProtocol->indexOfTopLevelItem(ui_->treeProtocol->currentItem()) + 1);
}

void StressReviewWindow::on_treeProtocol_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *) {
    if (filling_ || !current) return;
    showPosition(ReviewPosition::stageEnd(study_, ui_->treeProtocol->indexOfTopLevelItem(current)));
}

void StressReviewWindow::on_treeProtocol_itemDoubleClicked(QTreeWidgetItem *item, int column) {
    if (column != pressureColumn_) return;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    ui_->treeProtocol->editItem(item, column);
}

void StressReviewWindow::on_treeProtocol_itemChanged(QTreeWidgetItem *item, int column) {
    if (filling_ || column != pressureColumn_) return;
    const int stage = ui_->treeProtocol->indexOfTopLevelItem(item);
    const bool stored = StagePressureEdit::apply(study_.results(), stage, item->text(column));
    filling_ = true;
    item->setText(column, StagePressureEdit::text(study_.results(), stage));
    if (stored && dpColumn_ >= 0)
        item->setText(dpColumn_,
                      QString::number(static_cast<int>(study_.results().perStage(Result::DpPerStage, stage))));
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    filling_ = false;
    if (!stored) return;
    modified_ = true;
    refreshScores();
    for (QPlotGraphic *plot : trends_->shown()) plot->refresh();
}

// ---- conclusion ----------------------------------------------------------------

void StressReviewWindow::flushConclusion() {
    if (!conclusionModified_) return;
    study_.setProperty("conclusion", ui_->textConclusion->toPlainText().toUtf8());
    conclusionModified_ = false;
    modified_ = true;
}

// ---- findings and scores ------------------------------------------------------------

void StressReviewWindow::fillFindings() {
    ui_->cmbStopReason->clear();
    ui_->cmbStopReason->addItem(QString());
    for (StopReason reason : ExerciseFindings::stopReasons())
        ui_->cmbStopReason->addItem(ExerciseFindings::label(reason), static_cast<int>(reason));
    const auto reason = ExerciseFindings::stopReason(study_);
    ui_->cmbStopReason->setCurrentIndex(reason ? ui_->cmbStopReason->findData(static_cast<int>(*reason)) : 0);
    ui_->txtStopReason->setText(ExerciseFindings::stopReasonText(study_));
    ui_->cmbAngina->clear();
    ui_->cmbAngina->addItem(QString());
    for (Angina angina : {Angina::None, Angina::NonLimiting, Angina::Limiting})
        ui_->cmbAngina->addItem(ExerciseFindings::label(angina), static_cast<int>(angina));
    const auto angina = ExerciseFindings::angina(study_);
    ui_->cmbAngina->setCurrentIndex(angina ? ui_->cmbAngina->findData(static_cast<int>(*angina)) : 0);
}

void StressReviewWindow::on_cmbStopReason_activated(int index) {
    const QVariant data = ui_->cmbStopReason->itemData(index);
    ExerciseFindings::setStopReason(
        study_, data.isValid() ? std::optional<StopReason>(static_cast<StopReason>(data.toInt())) : std::nullopt);
    modified_ = true;
}

void StressReviewWindow::on_txtStopReason_editingFinished() {
    if (ui_->txtStopReason->text() == ExerciseFindings::stopReasonText(study_)) return;
    ExerciseFindings::setStopReasonText(study_, ui_->txtStopReason->text());
    modified_ = true;
}

void StressReviewWindow::on_cmbAngina_activated(int index) {
    const QVariant data = ui_->cmbAngina->itemData(index);
    ExerciseFindings::setAngina(study_, data.isValid() ? std::optional<Angina>(static_cast<Angina>(data.toInt()))
                                                       : std::nullopt);
    modified_ = true;
    refreshScores();
}

void StressReviewWindow::refreshScores() {
    const ExerciseScores scores = ExerciseScores::compute(study_);
    ui_->lblDuke->setText(ExerciseScoreTexts::duke(scores));
    ui_->lblHrRecovery->setText(ExerciseScoreTexts::heartRateRecovery(scores));
    ui_->lblChronotropic->setText(ExerciseScoreTexts::chronotropicIndex(scores));
    ui_->lblMets->setText(ExerciseScoreTexts::mets(scores));
}

// ---- study data, report, closing ------------------------------------------------------

void StressReviewWindow::refreshTitle() {
    const QDateTime when =
        QDateTime::fromString(QString::fromLatin1(study_.studyDateTime()), QStringLiteral("yyyyMMddHHmmss"));
    setWindowTitle(QStringLiteral("%1, %2 - %3")
                       .arg(QString::fromUtf8(study_.property("patient/lastName")),
                            QString::fromUtf8(study_.property("patient/firstName")),
                            QLocale().toString(when, QLocale::ShortFormat)));
}

void StressReviewWindow::on_btnStudyData_clicked() {
    flushConclusion();
    StudyInfo info = infoFromStudy(study_);
    StudyDialog dialog(store_, info, StudyDialog::Mode::Stored, workloadUnit_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    store_.applyInfo(study_, info);
    modified_ = true;
    refreshTitle();
    {
        const QSignalBlocker blocker(ui_->textConclusion);
        ui_->textConclusion->setPlainText(QString::fromUtf8(study_.property("conclusion")));
    }
    refreshScores();
    shownPosition_ = stPosition_ = -1.0;
    refreshPosition();
}

void StressReviewWindow::on_btnReport_clicked() {
    flushConclusion();
    emit reportRequested();
}

void StressReviewWindow::saveStudy() {
    flushConclusion();
    on_txtStopReason_editingFinished();
    if (!modified_) return;
    store_.saveStudy(study_);
    modified_ = false;
}

void StressReviewWindow::closeEvent(QCloseEvent *event) {
    try {
        saveStudy();
    } catch (const std::exception &error) {
        // Closing now drops the reviewer's edits: only when asked to, so a
        // study that cannot be written (read-only, full disk) can still be left.
        const auto answer = QMessageBox::warning(this, windowTitle(),
                                                 QString::fromUtf8(error.what()) + QStringLiteral("\n\n") +
                                                     tr("Close without saving the changes?"),
                                                 QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Discard) {
            event->ignore();
            return;
        }
    }
    saveSettings();
    event->accept();
}

void StressReviewWindow::loadSettings() {
    QSettings settings;
    ui_->ecgDisplay1->setColorScheme(settings.value(QLatin1String(kColorSchemeKey)).toString());
    ui_->ecgDisplay1->setHexaxialOrder(settings.value(QLatin1String(kHexaxialKey), false).toBool());
    ui_->ecgDisplay1->setShowAverageBeat(settings.value(QLatin1String(kAverageBeatKey), true).toBool());
    phrases_->load();
    phraseControls_->showLoaded();
    const QString lead = settings.value(QLatin1String(kStLeadKey)).toString();
    setStLead(lead.isEmpty() ? QLatin1String(kDefaultStLead) : lead);
}

void StressReviewWindow::saveSettings() const {
    QSettings settings;
    settings.setValue(QLatin1String(kColorSchemeKey), ui_->ecgDisplay1->colorScheme());
    settings.setValue(QLatin1String(kHexaxialKey), ui_->ecgDisplay1->hexaxialOrder());
    settings.setValue(QLatin1String(kAverageBeatKey), ui_->ecgDisplay1->showAverageBeat());
    settings.setValue(QLatin1String(kStLeadKey), stLeadName_);
    phrases_->save();
}
