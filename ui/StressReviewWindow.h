#pragma once
// The review of a stored stress test: the recorded ECG through the review
// filters, the trends, the stage table with its editable blood pressures,
// the events, the conclusion with predefined phrases, the reviewer's reason
// for stopping and angina, and the exercise scores. Trends, stage table and
// ECG follow each other: a click on a trend or a stage row moves the ECG,
// scrolling the ECG moves the trend cursors and the information frames.
//
// The position the window reports is the end of the ECG page on screen: the
// information frames, the trend cursors and the ST reading (measured from
// the stored beats over the review chain as the live analysis measured it,
// see ReviewStLevels) belong to it, and a stage is shown by ending the page
// at the stage's end.
//
// The study (opened read-write from `store`) must outlive the window; edits
// are saved to the store when the window closes. Reports live above this
// library, so "Report" only emits reportRequested() for the application.

#include <QMainWindow>
#include <QModelIndex>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class StressReviewWindow;
}
class EventListControls;
class PhraseListControls;
class PredefinedPhrases;
class QMenu;
class QTreeWidgetItem;
class RecordAverageBeats;
class ReviewFilterChain;
class ReviewStLevels;
class ReviewTrendPlots;
class Study;
class StudyStore;
class QTimer;
struct BeatRecord;

class StressReviewWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kFastTimerMs = 200;
    static constexpr int kSlowTimerMs = 500;
    static constexpr double kEventSeconds = 7.0;

    StressReviewWindow(Study &study, StudyStore &store, QWidget *parent = nullptr);
    ~StressReviewWindow() override;

    Study &study() const { return study_; }
    // The end of the ECG page, seconds of recording.
    double position() const;
    // Moves the ECG page so that it ends at `seconds`.
    void showPosition(double seconds);
    int stLead() const;
    QString stLeadName() const { return stLeadName_; }
    void setStLead(const QString &name);
    // The ST level (mV) of the ST lead at the position as the live analysis
    // measured it; absent where no beat of the stage could be measured.
    std::optional<double> stLevelAtPosition() const;
    // The context menu of the last request (rebuilt on every request).
    QMenu *contextMenu() const { return contextMenu_; }
    // Column of "SBP/DBP" in the stage table.
    int pressureColumn() const { return pressureColumn_; }
    // Writes pending edits into the study and saves it; throws the store's
    // std::runtime_error when the study could not be written.
    void saveStudy();
    // The timers' work, callable at once (tests).
    void refreshPosition();
    void refreshStReading();
    void flushConclusion();

Q_SIGNALS:
    // "Report" was pressed; the application produces the report of study().
    void reportRequested();

private Q_SLOTS:
    void on_ecgDisplay1_customContextMenuRequested(const QPoint &pos);
    void on_btnSpeed12_clicked();
    void on_btnSpeed25_clicked();
    void on_btnSpeed50_clicked();
    void on_btnAmp5_clicked();
    void on_btnAmp10_clicked();
    void on_btnAmp20_clicked();
    void on_btnFilterNotch_clicked();
    void on_btnFilterLowpass_clicked();
    void on_btnFilterBaseline_clicked();
    void on_btnPrevStage_clicked();
    void on_btnNextStage_clicked();
    void on_treeProtocol_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void on_treeProtocol_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_graphicST_customContextMenuRequested(const QPoint &pos);
    void on_btnStudyData_clicked();
    void on_btnReport_clicked();
    void on_treeProtocol_itemChanged(QTreeWidgetItem *item, int column);
    void on_cmbStopReason_activated(int index);
    void on_txtStopReason_editingFinished();
    void on_cmbAngina_activated(int index);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void loadBeats();
    void applyFilters();
    void rebuildInset();
    void fillStageTable();
    void fillFindings();
    void refreshScores();
    void refreshTitle();
    void selectStage(int row);
    void loadSettings();
    void saveSettings() const;

    std::unique_ptr<Ui::StressReviewWindow> ui_;
    Study &study_;
    StudyStore &store_;
    std::array<QString, 3> phaseNames_;
    QString workloadUnit_;
    bool tiltTest_ = false;
    QString stLeadName_;
    std::vector<BeatRecord> beats_;
    std::unique_ptr<ReviewFilterChain> displayChain_;
    // The ST reading keeps every filter on whatever the display shows, as
    // the live analysis does.
    std::unique_ptr<ReviewFilterChain> stChain_;
    std::unique_ptr<ReviewStLevels> stLevels_;
    std::unique_ptr<ReviewTrendPlots> trends_;
    std::unique_ptr<PredefinedPhrases> phrases_;
    EventListControls *eventControls_ = nullptr;    // a child of the window
    PhraseListControls *phraseControls_ = nullptr;  // a child of the window
    QMenu *contextMenu_ = nullptr;
    QTimer *fastTimer_ = nullptr;
    QTimer *slowTimer_ = nullptr;
    int pressureColumn_ = -1;
    int dpColumn_ = -1;
    bool filling_ = false;
    bool conclusionModified_ = false;
    bool modified_ = false;
    double shownPosition_ = -1.0;
    double stPosition_ = -1.0;
};
