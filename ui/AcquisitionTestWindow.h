#pragma once
// The technician's look at an acquisition source before a test: the live,
// filtered ECG of the standard leads, the battery and the electrodes that
// lost contact, and, when the link fails, why. Owns the
// session, so acquisition stops when the window goes; the window is modal to
// its parent and deletes itself when closed.

#include "stress/MonitorListener.h"
#include "stress/SessionListener.h"

#include <QWidget>
#include <memory>

class MonitorSession;
struct DeviceState;
class QSignalMonitorDisplay;
class QTimer;

namespace Ui {
class AcquisitionTestWindow;
}

class AcquisitionTestWindow : public QWidget, private MonitorListener, private SessionListener {
    Q_OBJECT
public:
    // Starts `session` at once.
    explicit AcquisitionTestWindow(std::unique_ptr<MonitorSession> session, QWidget *parent = nullptr);
    ~AcquisitionTestWindow() override;

    QSignalMonitorDisplay *display() const;
    MonitorSession &session() const { return *session_; }
    // Empty while the source delivers; the failure text once it has failed.
    QString statusText() const;
    // The link, battery and electrodes as last reported.
    QString deviceText() const;
    static QString describe(const DeviceState &state);

private:
    void blockProcessed(MonitorEngine &) override;
    void deviceStateChanged(MonitorSession &, const DeviceState &state) override;
    void acquisitionFailed(MonitorSession &, const QString &text, const QString &detail) override;
    void pollDevice();

    std::unique_ptr<Ui::AcquisitionTestWindow> ui_;
    std::unique_ptr<MonitorSession> session_;
    QTimer *pollTimer_ = nullptr;
};
