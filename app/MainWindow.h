#pragma once
// The launcher: the title area and the "New Stress Test" page. It owns the
// one study store, opens the stress monitor window full screen and stays
// disabled while it exists; when the window is gone the study is saved.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
class AcqDevice;
class EquipmentController;
class StressMonitorWindow;
class Study;
class StudyStore;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Creates the acquisition source for a study (tilt-test channels or
    // all); the configured one when not given.
    using DeviceFactory = std::function<std::unique_ptr<AcqDevice>(bool tiltTest)>;

    explicit MainWindow(DeviceFactory createDevice = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    StudyStore &store() const { return *store_; }
    // The open monitor window, if any.
    StressMonitorWindow *monitorWindow() const;

private Q_SLOTS:
    void on_btnStartStress_clicked();

private:
    void fillProtocols();
    void startStressTest();
    // The monitor window is destroyed: its study is saved and closed.
    void recordingEnded(Study *study);
    void showError(const QString &text);

    std::unique_ptr<Ui::MainWindow> ui_;
    DeviceFactory createDevice_;
    std::unique_ptr<StudyStore> store_;
    std::unique_ptr<EquipmentController> equipment_;
    QPointer<StressMonitorWindow> monitor_;
};
