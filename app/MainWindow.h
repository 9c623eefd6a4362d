#pragma once
// The launcher: the title area and the pages "New Stress Test", "New ECG"
// and "Open study". It owns the one study store, opens a monitor window
// full screen and stays disabled while it exists; when the window is gone
// the study is saved, added to the recent studies and exported when the
// configuration asks for it.

#include "store/StudyStore.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
class AcqDevice;
class EquipmentController;
class QTreeWidgetItem;
class StressMonitorWindow;
class Study;
struct StudyInfo;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Creates the acquisition source for a study (tilt-test channels or
    // all); the configured one when not given.
    using DeviceFactory = std::function<std::unique_ptr<AcqDevice>(bool tiltTest)>;
    // Shows a stored study, opened by the launcher, in the review window of
    // its kind and returns that window, which deletes itself when closed;
    // the launcher closes the study when the window is gone. Null when
    // nothing was opened.
    using ReviewOpener = std::function<QWidget *(Study &study, StudyStore &store, QWidget *launcher)>;

    explicit MainWindow(DeviceFactory createDevice = {}, QWidget *parent = nullptr);
    // `storeServices`: the disk questions of the store (tests fake a full disk).
    MainWindow(DeviceFactory createDevice, StudyStore::Services storeServices, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Until one is given, Open is disabled with a tooltip saying why, and
    // the study browser says so when a study is opened from it.
    void setReviewOpener(ReviewOpener opener);

    StudyStore &store() const { return *store_; }
    // The open stress monitor window, if any.
    StressMonitorWindow *monitorWindow() const;
    // The open monitor window of either kind, if any.
    QWidget *anyMonitorWindow() const { return monitor_.data(); }

    // Opens stored study `id` for review, telling the user why when it
    // cannot be (the recent list and the study browser come here).
    void openStudyForReview(qint32 id);

private Q_SLOTS:
    void on_btnNewStudyStress_clicked();
    void on_btnNewStudyEcg_clicked();
    void on_btnOpenStudy_clicked();
    void on_btnClose_clicked();
    void on_btnConfig_clicked();
    void on_btnMoreStress_clicked();
    void on_btnMoreEcg_clicked();
    void on_btnStartStress_clicked();
    void on_btnStartEcg_clicked();
    void on_btnOpenMore_clicked();
    void on_btnOpenOK_clicked();
    void on_treeStudies_itemDoubleClicked(QTreeWidgetItem *item, int column);

private:
    void setUpKeys();
    void showPage(QWidget *page);
    void fillProtocols();
    void fillRecentStudies();
    void updateOpenButtons();
    static QString reviewUnavailableText();
    StudyInfo stressFields() const;
    StudyInfo ecgFields() const;
    // False, after the warning, when the disk is too full for a new study.
    bool checkFreeSpace();
    // Runs `start`, showing a standard exception as the error it is.
    void guardedStart(const std::function<void()> &start);
    void startStressTest(StudyInfo info);
    void startRestingEcg(StudyInfo info);
    // Takes `window` as the one monitor window: full screen, the launcher
    // disabled until it is gone.
    void showMonitor(QWidget *window);
    // The monitor window is destroyed: the study is saved (or, when
    // `keep` is false, removed), closed, listed and exported.
    void recordingEnded(Study *study, bool keep);
    void addRecentStudy(const StudyInfo &info);
    void autoExport(const StudyInfo &info);
    void showError(const QString &text);

    std::unique_ptr<Ui::MainWindow> ui_;
    DeviceFactory createDevice_;
    std::unique_ptr<StudyStore> store_;
    std::unique_ptr<EquipmentController> equipment_;
    QPointer<QWidget> monitor_;
    QList<QPointer<QWidget>> reviews_;
    ReviewOpener openReview_;
    bool closing_ = false;
};
