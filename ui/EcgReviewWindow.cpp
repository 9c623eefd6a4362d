#include "ui/EcgReviewWindow.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/AverageBeatBuilder.h"
#include "analysis/BeatRecord.h"
#include "analysis/BeatRecordCodec.h"
#include "analysis/ReviewFilterChain.h"
#include "store/Study.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/RestingEcgMeasurements.h"
#include "stress/RestingReview.h"
#include "ui/EventListControls.h"
#include "ui/PhraseListControls.h"
#include "ui/PredefinedPhrases.h"
#include "ui/RecordAverageBeats.h"
#include "ui/ReviewDisplayMenu.h"
#include "ui/StudyDialog.h"
#include "ui_EcgReviewWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

const char *const kColorSchemeKey = "EcgReviewWindow/DisplayColorScheme";
const char *const kHexaxialKey = "EcgReviewWindow/HexaxialOrder";
const char *const kAverageBeatKey = "EcgReviewWindow/ShowAverageBeat";
const char *const kMeasurementLeadKey = "EcgReviewWindow/MeasurementLead";
constexpr int kStandardLeads = 12;

QString milliseconds(const std::optional<double> &seconds) {
    return seconds && *seconds > 0.0 ? QString::number(std::lround(*seconds * 1000.0)) : QStringLiteral("-");
}

QString degrees(const std::optional<double> &value) {
    return value ? QString::number(std::lround(*value)) + QChar(0x00B0) : QStringLiteral("-");
}

QString millivolts(const std::optional<double> &value) {
    return value ? QString::number(*value, 'f', 2) : QStringLiteral("-");
}

// The beat display's markers that stand for the global wave limits.
std::optional<WaveLimit> limitOf(int marker) {
    switch (marker) {
    case QBeatDisplay::POnset: return WaveLimit::POnset;
    case QBeatDisplay::POffset: return WaveLimit::POffset;
    case QBeatDisplay::QrsOnset: return WaveLimit::QrsOnset;
    case QBeatDisplay::QrsOffset: return WaveLimit::QrsOffset;
    case QBeatDisplay::TOffset: return WaveLimit::TOffset;
    default: return std::nullopt;
    }
}

}  // namespace

EcgReviewWindow::EcgReviewWindow(Study &study, StudyStore &store, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::EcgReviewWindow>()), study_(study), store_(store),
      phrases_(std::make_unique<PredefinedPhrases>(PredefinedPhrases::kRestingListKey,
                                                   PredefinedPhrases::kRestingAlphaSortKey)) {
    ui_->setupUi(this);
    refreshTitle();
    FileSignal *signal = study_.recording();
    if (signal) {
        rate_ = signal->samplingRate();
        displayChain_ = std::make_unique<ReviewFilterChain>(*signal);
        averageChain_ = std::make_unique<ReviewFilterChain>(*signal);
        averageChain_->configure(true, true, true);
        ui_->ecgDisplay1->setAmplitudeCalibration(EcgDisplayBase::fullScaleForBits(signal->resolutionBits()));
        for (int lead = kStandardLeads; lead < signal->channelCount(); ++lead)
            ui_->ecgDisplay1->setLeadShown(lead, false);
        leadNames_ = signal->channelNames().mid(0, kStandardLeads);
    }
    loadBeats();
    applyFilters();
    buildReview();

    ui_->textConclusion->setPlainText(QString::fromUtf8(study_.property("conclusion")));
    connect(ui_->textConclusion, &QPlainTextEdit::textChanged, this, [this] { conclusionModified_ = true; });
    ui_->treeEvents->setColumnWidth(0, 50);
    ui_->treeEvents->setColumnWidth(1, 60);
    eventControls_ = new EventListControls(
        study_, {ui_->treeEvents, ui_->btnAddEvent, ui_->btnRemoveEvent, ui_->ecgDisplay1, ui_->tabs, ui_->tabEvents},
        kEventSeconds, [this] { modified_ = true; }, [] {}, this);
    phraseControls_ = new PhraseListControls(
        *phrases_,
        {ui_->listPredefinedText, ui_->btnPredefinedAdd, ui_->btnPredefinedRemove, ui_->btnPredefinedUp,
         ui_->btnPredefinedDown, ui_->chkPredefinedAlphaSort, ui_->textConclusion},
        [this] { flushConclusion(); }, this);
    ui_->tabs->setCurrentIndex(0);
    ui_->beatDisplay->setToolTip(
        tr("Drag a marker, or choose one with Up and Down and move it with Left and Right (Shift: 5 samples)"));
    ui_->beatDisplay->setFitToSize(true);
    connect(ui_->beatDisplay, &QBeatDisplay::markerMoved, this, &EcgReviewWindow::onMarkerMoved);

    QTableWidget *table = ui_->tableMeasurements;
    QStringList rows = RestingEcgMeasurements::tableHeaders();
    rows << tr("P amplitude (mV)") << tr("QRS amplitude (mV)") << tr("T amplitude (mV)");
    table->setRowCount(RowCount);
    table->setColumnCount(2);
    table->setVerticalHeaderLabels(rows);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Twelve rows fit the tab without scrolling.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 2);

    filling_ = true;
    for (const QString &name : leadNames_) ui_->cmbMeasurementLead->addItem(name);
    filling_ = false;
    loadSettings();
    eventControls_->fill();

    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &EcgReviewWindow::flushConclusion);
    timer->start(kSlowTimerMs);
}

EcgReviewWindow::~EcgReviewWindow() {
    ui_->ecgDisplay1->setAverageBeatProvider(nullptr);
    ui_->ecgDisplay1->setSource(nullptr);
}

double EcgReviewWindow::unitMv() const {
    const FileSignal *signal = study_.recording();
    return signal ? signal->amplitudeMax() / std::max(1, EcgDisplayBase::fullScaleForBits(signal->resolutionBits()))
                  : 0.0;
}

void EcgReviewWindow::loadBeats() {
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
}

void EcgReviewWindow::buildReview() {
    double meanRr = 0.0;
    if (averageChain_) {
        AverageBeatBuilder builder(&averageChain_->output());
        for (const BeatRecord &beat : beats_) builder.addBeat(beat);
        if (builder.beatCount() > 0) {
            for (int lead = 0; lead < std::min(builder.leadCount(), kStandardLeads); ++lead)
                averages_.push_back(builder.average(lead));
            meanRr = builder.meanRr();
        }
    }
    std::vector<QString> names(leadNames_.begin(), leadNames_.end());
    review_ = std::make_unique<RestingReview>(study_, averages_, names, rate_, unitMv(), meanRr);
}

void EcgReviewWindow::applyFilters() {
    if (!displayChain_) return;
    // The inset reads the chain's stages, which configure() replaces.
    ui_->ecgDisplay1->setAverageBeatProvider(nullptr);
    displayChain_->configure(ui_->btnFilterNotch->isChecked(), ui_->btnFilterLowpass->isChecked(),
                             ui_->btnFilterBaseline->isChecked());
    ui_->ecgDisplay1->setSource(&displayChain_->output());
    rebuildInset();
}

void EcgReviewWindow::rebuildInset() {
    if (!displayChain_) return;
    ui_->ecgDisplay1->setAverageBeatProvider(std::make_unique<RecordAverageBeats>(
        displayChain_->output(), beats_, unitMv(), RecordAverageBeats::Leads::OnDemand));
}

// ---- beat display and measurements -------------------------------------------

void EcgReviewWindow::showBeats() {
    const double unit = unitMv();
    std::vector<std::vector<double>> mv;
    QStringList names;
    for (int lead = 0; lead < static_cast<int>(averages_.size()); ++lead) {
        if (!ui_->chkAllLeads->isChecked() && lead != measurementLead_) continue;
        std::vector<double> beat = averages_[static_cast<std::size_t>(lead)];
        for (double &v : beat) v *= unit;
        mv.push_back(std::move(beat));
        names << leadNames_.value(lead);
    }
    ui_->beatDisplay->setAverages(std::move(mv), names, rate_);
    showMarkers();
}

void EcgReviewWindow::showMarkers() {
    RestingMarkers m;
    m.pOnset = review_->limitSample(WaveLimit::POnset);
    m.pEnd = review_->limitSample(WaveLimit::POffset);
    m.qrsOnset = review_->limitSample(WaveLimit::QrsOnset);
    m.qrsEnd = review_->limitSample(WaveLimit::QrsOffset);
    m.tEnd = review_->limitSample(WaveLimit::TOffset);
    const int selected = ui_->beatDisplay->selectedMarker();
    ui_->beatDisplay->setMarkers(m);
    ui_->beatDisplay->setSelectedMarker(selected);
}

void EcgReviewWindow::fillMeasurements() {
    QTableWidget *table = ui_->tableMeasurements;
    table->setHorizontalHeaderLabels({tr("Global"), tr("Lead %1").arg(leadNames_.value(measurementLead_))});
    const GlobalMeasurement &g = review_->global();
    const LeadMeasurement lead = review_->leadMeasurement(measurementLead_);
    const QString rate =
        g.heartRateBpm && *g.heartRateBpm > 0.0 ? QString::number(std::lround(*g.heartRateBpm)) : QStringLiteral("-");
    const QString dash = QStringLiteral("-");
    const QStringList global = {rate,
                                milliseconds(g.pr),
                                milliseconds(g.pDuration),
                                milliseconds(g.qrsDuration),
                                milliseconds(g.qt),
                                milliseconds(g.qtcBazett),
                                degrees(g.pAxis),
                                degrees(g.qrsAxis),
                                degrees(g.tAxis),
                                dash,
                                dash,
                                dash};
    const QStringList own = {dash,
                             milliseconds(lead.pr),
                             milliseconds(lead.pDuration),
                             milliseconds(lead.qrsDuration),
                             milliseconds(lead.qt),
                             milliseconds(lead.qtcBazett),
                             dash,
                             dash,
                             dash,
                             millivolts(lead.pAmplitude),
                             millivolts(lead.qrsAmplitude),
                             millivolts(lead.tAmplitude)};
    for (int row = 0; row < RowCount; ++row) {
        for (int column = 0; column < 2; ++column) {
            auto *item = new QTableWidgetItem((column == ColumnGlobal ? global : own).value(row));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    ui_->btnAutoMeasurement->setEnabled(review_->corrected());
}

void EcgReviewWindow::onMarkerMoved(int marker, int sample) {
    const std::optional<WaveLimit> limit = limitOf(marker);
    if (limit && review_->setLimit(*limit, sample)) modified_ = true;
    // A refused position, or a marker that is no wave limit, goes back.
    showMarkers();
    fillMeasurements();
}

void EcgReviewWindow::on_btnAutoMeasurement_clicked() {
    if (review_->restoreAutomatic()) modified_ = true;
    showMarkers();
    fillMeasurements();
}

void EcgReviewWindow::setMeasurementLead(int lead) {
    if (lead < 0 || lead >= leadNames_.size()) return;
    measurementLead_ = lead;
    {
        const QSignalBlocker blocker(ui_->cmbMeasurementLead);
        ui_->cmbMeasurementLead->setCurrentIndex(lead);
    }
    if (review_->setMeasurementLead(lead)) modified_ = true;
    QSettings().setValue(QLatin1String(kMeasurementLeadKey), leadNames_.value(lead));
    showBeats();
    fillMeasurements();
}

void EcgReviewWindow::on_cmbMeasurementLead_activated(int index) { setMeasurementLead(index); }

void EcgReviewWindow::on_chkAllLeads_toggled(bool) { showBeats(); }

// ---- display controls -----------------------------------------------------

void EcgReviewWindow::on_btnSpeed12_clicked() { ui_->ecgDisplay1->setSpeed(12.5); }
void EcgReviewWindow::on_btnSpeed25_clicked() { ui_->ecgDisplay1->setSpeed(25.0); }
void EcgReviewWindow::on_btnSpeed50_clicked() { ui_->ecgDisplay1->setSpeed(50.0); }
void EcgReviewWindow::on_btnAmp5_clicked() {
    ui_->ecgDisplay1->setGain(5.0);
    ui_->beatDisplay->setGain(5.0);
}
void EcgReviewWindow::on_btnAmp10_clicked() {
    ui_->ecgDisplay1->setGain(10.0);
    ui_->beatDisplay->setGain(10.0);
}
void EcgReviewWindow::on_btnAmp20_clicked() {
    ui_->ecgDisplay1->setGain(20.0);
    ui_->beatDisplay->setGain(20.0);
}
void EcgReviewWindow::on_btnFilterNotch_clicked() { applyFilters(); }
void EcgReviewWindow::on_btnFilterLowpass_clicked() { applyFilters(); }
void EcgReviewWindow::on_btnFilterBaseline_clicked() { applyFilters(); }

void EcgReviewWindow::on_btnPrevPage_clicked() {
    QSignalBrowseDisplay *display = ui_->ecgDisplay1;
    display->setStartTime(std::max(0.0, display->startTime() - display->pageSeconds()));
}

void EcgReviewWindow::on_btnNextPage_clicked() {
    QSignalBrowseDisplay *display = ui_->ecgDisplay1;
    const double last = std::max(0.0, display->recordSeconds() - display->pageSeconds());
    display->setStartTime(std::min(last, display->startTime() + display->pageSeconds()));
}

void EcgReviewWindow::on_ecgDisplay1_customContextMenuRequested(const QPoint &pos) {
    if (!contextMenu_) contextMenu_ = new QMenu(this);
    QSignalBrowseDisplay *display = ui_->ecgDisplay1;
    ReviewDisplayMenu::fill(
        *contextMenu_, *display, study_.recording(), [this, pos] { on_ecgDisplay1_customContextMenuRequested(pos); },
        [this](const QString &name) {
            ui_->ecgDisplay1->setColorScheme(name);
            ui_->beatDisplay->setColorScheme(name);
        });
    contextMenu_->popup(display->mapToGlobal(pos));
}

// ---- conclusion ----------------------------------------------------------------

void EcgReviewWindow::flushConclusion() {
    if (!conclusionModified_) return;
    study_.setProperty("conclusion", ui_->textConclusion->toPlainText().toUtf8());
    conclusionModified_ = false;
    modified_ = true;
}

// ---- study data, report, closing ------------------------------------------------------

void EcgReviewWindow::refreshTitle() {
    const QDateTime when =
        QDateTime::fromString(QString::fromLatin1(study_.studyDateTime()), QStringLiteral("yyyyMMddHHmmss"));
    setWindowTitle(QStringLiteral("%1, %2 - %3")
                       .arg(QString::fromUtf8(study_.property("patient/lastName")),
                            QString::fromUtf8(study_.property("patient/firstName")),
                            QLocale().toString(when, QLocale::ShortFormat)));
}

void EcgReviewWindow::on_btnStudyData_clicked() {
    flushConclusion();
    StudyInfo info = infoFromStudy(study_);
    const QString unit =
        QSettings().value(QStringLiteral("Config/ErgometerWorkloadUnits")).toString() == QLatin1String("watts")
            ? QStringLiteral("watts")
            : QStringLiteral("kgm/min");
    StudyDialog dialog(store_, info, StudyDialog::Mode::Stored, unit, this);
    if (dialog.exec() != QDialog::Accepted) return;
    store_.applyInfo(study_, info);
    modified_ = true;
    refreshTitle();
    const QSignalBlocker blocker(ui_->textConclusion);
    ui_->textConclusion->setPlainText(QString::fromUtf8(study_.property("conclusion")));
}

void EcgReviewWindow::on_btnReport_clicked() {
    flushConclusion();
    emit reportRequested();
}

void EcgReviewWindow::saveStudy() {
    flushConclusion();
    if (!modified_) return;
    store_.saveStudy(study_);
    modified_ = false;
}

void EcgReviewWindow::closeEvent(QCloseEvent *event) {
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

void EcgReviewWindow::loadSettings() {
    QSettings settings;
    const QString scheme = settings.value(QLatin1String(kColorSchemeKey)).toString();
    ui_->ecgDisplay1->setColorScheme(scheme);
    ui_->beatDisplay->setColorScheme(scheme);
    ui_->ecgDisplay1->setHexaxialOrder(settings.value(QLatin1String(kHexaxialKey), false).toBool());
    ui_->ecgDisplay1->setShowAverageBeat(settings.value(QLatin1String(kAverageBeatKey), true).toBool());
    phrases_->load();
    phraseControls_->showLoaded();
    // The reviewer's lead when the study has it, else the one it was measured
    // on; showing it does not change the study until the reviewer picks one.
    const int kept = leadNames_.indexOf(settings.value(QLatin1String(kMeasurementLeadKey)).toString());
    const int stored = review_->measurementLead();
    std::vector<QString> names(leadNames_.begin(), leadNames_.end());
    measurementLead_ = kept >= 0                                   ? kept
                       : stored >= 0 && stored < leadNames_.size() ? stored
                                                                   : restingMeasurementLead(names);
    {
        const QSignalBlocker blocker(ui_->cmbMeasurementLead);
        ui_->cmbMeasurementLead->setCurrentIndex(measurementLead_);
    }
    showBeats();
    fillMeasurements();
}

void EcgReviewWindow::saveSettings() const {
    QSettings settings;
    settings.setValue(QLatin1String(kColorSchemeKey), ui_->ecgDisplay1->colorScheme());
    settings.setValue(QLatin1String(kHexaxialKey), ui_->ecgDisplay1->hexaxialOrder());
    settings.setValue(QLatin1String(kAverageBeatKey), ui_->ecgDisplay1->showAverageBeat());
    settings.setValue(QLatin1String(kMeasurementLeadKey), leadNames_.value(measurementLead_));
    phrases_->save();
}
