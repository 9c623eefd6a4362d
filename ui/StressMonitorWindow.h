#pragma once
// The full-screen window in which a stress test runs: the live ECG in one or
// two panels, timers, heart rate against the patient's targets, the stage
// and its load, the stage table and the heart-rate trend; its buttons drive
// the run control, Space marks an event and F4 asks for the blood pressure.
// It wires widgets to the session, the engine and the run logic below it.

#include "stress/MonitorListener.h"
#include "stress/SessionListener.h"
#include "stress/StagePrompts.h"
#include "stress/StressRun.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

namespace Ui {
class StressMonitorWindow;
}
class BPDialog;
class LiveEcgPanels;
class MonitorIndicators;
class MonitorSession;
class QMenu;
class QSignalMonitorDisplay;
class QTimer;
class StudyStore;
class TrendSeries;

// What the launcher reads from the global configuration for the window.
struct StressMonitorConfig {
    QString workloadUnit = QStringLiteral("kgm/min");  // or "watts"
    double lowBatteryLevel = 0.0;                      // volts; 0 keeps the default
    bool simulated = false;                            // the acquisition is the demo replay
};

class StressMonitorWindow : public QMainWindow, private MonitorListener, private SessionListener {
    Q_OBJECT
public:
    static constexpr int kTickMs = 1000;
    static constexpr int kEventTimeoutMs = 10000;
    static constexpr double kTrendSpanSeconds = 120.0;

    // Takes the session and starts its acquisition; `study` (and the
    // equipment of `plan`, and `store` when given) must outlive the window.
    StressMonitorWindow(std::unique_ptr<MonitorSession> session, Study &study, StressRun::Plan plan, StudyStore *store,
                        const StressMonitorConfig &config, QWidget *parent = nullptr);
    ~StressMonitorWindow() override;

    MonitorSession &session() const { return *session_; }
    // The open blood-pressure prompt, if any.
    BPDialog *bloodPressurePrompt() const;
    // The context menu of the last request (rebuilt on every request).
    QMenu *contextMenu() const;
    MonitorIndicators &indicators() const { return *indicators_; }
    const StagePrompts &prompts() const { return prompts_; }
    // The clock's work, callable at once (tests).
    void tick();

    // A stage print finished (its printer connects to stagePrintRequested).
    void stagePrintFinished();

Q_SIGNALS:
    // The event of the stage just closed is to be printed.
    void stagePrintRequested(int eventIndex);
    // The window is closing; `started`: the test was started (a window closed
    // before Start recorded nothing, and its study is not worth keeping).
    void testClosed(bool started);

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
    void on_btnStart_clicked();
    void on_btnNext_clicked();
    void on_btnStop_clicked();
    void on_ecgDisplay1_customContextMenuRequested(const QPoint &pos);
    void on_ecgDisplay2_customContextMenuRequested(const QPoint &pos);
    void on_actionBP_triggered();
    void on_btnRecovery_clicked();
    void on_btnStudyEvent_clicked();
    void on_actionSaveEvent_triggered();
    void on_txtEventDescription_returnPressed();
    void on_txtEventDescription_textChanged(const QString &text);

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Closed while the test runs (not through Stop): the test is stopped
    // first, so its last stage and maxima are recorded.
    void closeEvent(QCloseEvent *event) override;

private:
    // MonitorListener
    void blockProcessed(MonitorEngine &engine) override;
    void beatDetected(MonitorEngine &engine, const BeatRecord &beat) override;
    void started(MonitorEngine &engine) override;
    void stageChanged(MonitorEngine &engine) override;
    void message(MonitorEngine &engine, const QString &text) override;
    // SessionListener
    void deviceStateChanged(MonitorSession &session, const DeviceState &state) override;
    void acquisitionFailed(MonitorSession &session, const QString &text, const QString &detail) override;

    MonitorEngine &engine() const;
    void applyFilters();

    void openBloodPressurePrompt();
    void promptFinished(BPDialog *dialog, bool accepted);
    void startStagePrint();
    void refreshRunView();
    void refreshTimers();
    void refreshStageTable();
    void resetEventEntry();
    void eventTimeout();

    std::unique_ptr<Ui::StressMonitorWindow> ui_;
    std::unique_ptr<MonitorSession> session_;
    Study &study_;
    QString protocolName_;
    ProtocolType protocolType_ = ProtocolType::Treadmill;
    std::array<QString, 3> phaseNames_;
    StressMonitorConfig config_;
    double eventTime_ = 0.0;
    double lastRr_ = 0.0;
    StagePrompts prompts_;
    QPointer<BPDialog> bpDialog_;
    double promptTime_ = 0.0;
    LiveEcgPanels *panels_ = nullptr;
    MonitorIndicators *indicators_ = nullptr;
    QTimer *tickTimer_ = nullptr;
    QTimer *eventTimer_ = nullptr;
    std::unique_ptr<TrendSeries> hrTrend_;
};
