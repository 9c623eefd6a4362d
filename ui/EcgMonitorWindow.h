#pragma once
// The full-screen window in which a resting ECG is taken: the live 12-lead
// ECG as in the stress monitor, a take of fixed length with its countdown
// that ends by itself, the take's measurements, and the buttons to start,
// stop, repeat and save it. It wires widgets to the session and to the
// resting recording below it.

#include "stress/MonitorListener.h"
#include "stress/SessionListener.h"

#include <QMainWindow>
#include <memory>
#include <vector>

namespace Ui {
class EcgMonitorWindow;
}
class LiveEcgPanels;
class MonitorIndicators;
class MonitorSession;
class QLabel;
class QMenu;
class QTimer;
class RestingRecording;
class Study;
class StudyStore;

// What the launcher reads from the global configuration for the window.
struct EcgMonitorConfig {
    bool simulated = false;        // the acquisition is the demo replay
    double lowBatteryLevel = 0.0;  // volts; 0 keeps the default
    int recordingSeconds = 10;     // length of a take
};

class EcgMonitorWindow : public QMainWindow, private MonitorListener, private SessionListener {
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000;

    // Takes the session and starts its acquisition; `study` (and `store`
    // when given) must outlive the window, which deletes itself when closed.
    EcgMonitorWindow(std::unique_ptr<MonitorSession> session, Study &study, StudyStore *store,
                     const EcgMonitorConfig &config, QWidget *parent = nullptr);
    ~EcgMonitorWindow() override;

    MonitorSession &session() const { return *session_; }
    const RestingRecording &recording() const { return *recording_; }
    MonitorIndicators &indicators() const { return *indicators_; }
    // The take's measurements as shown, in RestingEcgMeasurements' table
    // order; empty until a take was recorded.
    QStringList shownMeasurements() const;
    // The context menu of the last request (rebuilt on every request).
    QMenu *contextMenu() const;
    // The clock's work, callable at once (tests).
    void tick();

Q_SIGNALS:
    // Once, as the window closes: `saved` when the take and its measurements
    // are in the study, which the launcher then keeps; otherwise the
    // launcher removes the study. The acquisition has stopped by then and
    // the window no longer touches the study.
    void recordingFinished(bool saved);

private Q_SLOTS:
    void on_btnSpeed12_clicked();
    void on_btnSpeed25_clicked();
    void on_btnSpeed50_clicked();
    void on_btnAmp5_clicked();
    void on_btnAmp10_clicked();
    void on_btnAmp20_clicked();
    void on_btnFilterNotch_clicked();
    void on_btnFilterLowpass_clicked();
    void on_btnFilterBaseline_clicked();
    void on_btnStartRecording_clicked();
    void on_btnStopRecording_clicked();
    void on_btnRepeatRecording_clicked();
    void on_btnSaveRecording_clicked();
    void on_ecgDisplay1_customContextMenuRequested(const QPoint &pos);
    void on_ecgDisplay2_customContextMenuRequested(const QPoint &pos);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Asks before a take that was not saved is discarded.
    void closeEvent(QCloseEvent *event) override;

private:
    // MonitorListener
    void blockProcessed(MonitorEngine &engine) override;
    void beatDetected(MonitorEngine &engine, const BeatRecord &beat) override;
    void stopped(MonitorEngine &engine) override;
    void message(MonitorEngine &engine, const QString &text) override;
    // SessionListener
    void deviceStateChanged(MonitorSession &session, const DeviceState &state) override;
    void acquisitionFailed(MonitorSession &session, const QString &text, const QString &detail) override;

    MonitorEngine &engine() const;
    void applyFilters();
    void refreshControls();
    void refreshCountdown();
    void buildMeasurementGrid();
    void refreshMeasurements();
    void showError(const QString &text);
    // Stops the acquisition and lets go of the study; then tells the launcher.
    void finish(bool saved);

    std::unique_ptr<Ui::EcgMonitorWindow> ui_;
    std::unique_ptr<MonitorSession> session_;
    Study &study_;
    StudyStore *store_;
    EcgMonitorConfig config_;
    std::unique_ptr<RestingRecording> recording_;
    LiveEcgPanels *panels_ = nullptr;
    MonitorIndicators *indicators_ = nullptr;
    QTimer *tickTimer_ = nullptr;
    std::vector<QLabel *> measurementValues_;
    double lastRr_ = 0.0;
    bool saved_ = false;
    bool finished_ = false;
};
