#pragma once
// The review of a stored resting ECG: the 12 leads of the 10-second take in
// the browse display (through the review filters, paged), the average beats
// in the beat display with the wave limits of the global measurement that
// the reviewer moves with the mouse or the keys, the global measurement and
// that of the chosen measurement lead, the events and the conclusion with
// predefined phrases.
//
// The measurements live in RestingReview (stress/): a moved limit rewrites
// the study's global series and "Auto measurement" puts the acquisition's
// values back. The averages are rebuilt from the stored beats over the review
// chain with every filter on, as the take was averaged live.
//
// The study (opened read-write from `store`) must outlive the window; edits
// are saved to the store when the window closes. Reports live above this
// library, so "Report" only emits reportRequested() for the application.

#include <QMainWindow>
#include <QModelIndex>
#include <memory>
#include <vector>

namespace Ui {
class EcgReviewWindow;
}
class EventListControls;
class PhraseListControls;
class PredefinedPhrases;
class QMenu;
class RestingReview;
class ReviewFilterChain;
class Study;
class StudyStore;
struct BeatRecord;

class EcgReviewWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kSlowTimerMs = 500;
    static constexpr double kEventSeconds = 2.0;
    // Rows of the measurement table, columns "Global" and the lead's.
    enum Row {
        RowRate,
        RowPr,
        RowP,
        RowQrs,
        RowQt,
        RowQtc,
        RowPAxis,
        RowQrsAxis,
        RowTAxis,
        RowPAmp,
        RowQrsAmp,
        RowTAmp,
        RowCount
    };
    enum Column { ColumnGlobal, ColumnLead };

    EcgReviewWindow(Study &study, StudyStore &store, QWidget *parent = nullptr);
    ~EcgReviewWindow() override;

    Study &study() const { return study_; }
    RestingReview &review() const { return *review_; }
    int measurementLead() const { return measurementLead_; }
    void setMeasurementLead(int lead);
    // The context menu of the last request (rebuilt on every request).
    QMenu *contextMenu() const { return contextMenu_; }
    // Writes pending edits into the study and saves it; throws the store's
    // std::runtime_error when the study could not be written.
    void saveStudy();
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
    void on_btnPrevPage_clicked();
    void on_btnNextPage_clicked();
    void on_btnStudyData_clicked();
    void on_btnReport_clicked();
    void on_btnAutoMeasurement_clicked();
    void on_cmbMeasurementLead_activated(int index);
    void on_chkAllLeads_toggled(bool checked);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void loadBeats();
    void buildReview();
    void applyFilters();
    void rebuildInset();
    void showBeats();
    void showMarkers();
    void fillMeasurements();
    void onMarkerMoved(int marker, int sample);
    void refreshTitle();
    void loadSettings();
    void saveSettings() const;
    double unitMv() const;

    std::unique_ptr<Ui::EcgReviewWindow> ui_;
    Study &study_;
    StudyStore &store_;
    std::vector<BeatRecord> beats_;
    std::unique_ptr<ReviewFilterChain> displayChain_;
    std::unique_ptr<ReviewFilterChain> averageChain_;
    std::unique_ptr<RestingReview> review_;
    std::vector<std::vector<double>> averages_;  // sample units
    QStringList leadNames_;
    int rate_ = 0;
    int measurementLead_ = 0;
    std::unique_ptr<PredefinedPhrases> phrases_;
    EventListControls *eventControls_ = nullptr;    // a child of the window
    PhraseListControls *phraseControls_ = nullptr;  // a child of the window
    QMenu *contextMenu_ = nullptr;
    bool filling_ = false;
    bool conclusionModified_ = false;
    bool modified_ = false;
};
