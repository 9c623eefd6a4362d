#pragma once
// The device and test indicators laid over a monitor window's ECG area: the
// printer, low-battery and connecting icons in its bottom-right corner, the
// "Simulated ECG" and "Inoperative ECG" labels, the electrode status at the
// window's top right, and a banner for failures the test goes on after.
// Each is created the first time it is needed; none of them blocks input.

#include "stress/DeviceState.h"

#include <QObject>
#include <QStringList>

class ElectrodeStatusWidget;
class QFrame;
class QLabel;
class QWidget;

class MonitorIndicators : public QObject {
    Q_OBJECT
public:
    // `ecgArea` holds the icons, labels and banner; `window` the electrode status.
    MonitorIndicators(QWidget &ecgArea, QWidget &window, double lowBatteryLevel);

    void showSimulated();
    void showDeviceState(const DeviceState &state);
    void showPrinting(bool printing);
    // Adds `text` to the banner (once), which stays until the window closes.
    void showFailure(const QString &text);
    // Places everything again after the window or the ECG area was resized.
    void place();

    QLabel *printerIcon() const { return printer_; }
    QLabel *lowBatteryIcon() const { return lowBattery_; }
    QLabel *connectingIcon() const { return connecting_; }
    QLabel *inoperativeLabel() const { return inoperative_; }
    QLabel *simulatedLabel() const { return simulated_; }
    QLabel *banner() const { return banner_; }
    ElectrodeStatusWidget *electrodeStatus() const { return electrodes_; }

private:
    QLabel *icon(QLabel *&slot, const QString &resource);
    QLabel *notice(QLabel *&slot, const QString &text);
    static void setShown(QLabel *label, bool shown);

    QWidget &area_;
    QWidget &window_;
    double lowBatteryLevel_;
    QLabel *printer_ = nullptr;
    QLabel *lowBattery_ = nullptr;
    QLabel *connecting_ = nullptr;
    QLabel *inoperative_ = nullptr;
    QLabel *simulated_ = nullptr;
    QLabel *banner_ = nullptr;
    QStringList failures_;
    ElectrodeStatusWidget *electrodes_ = nullptr;
};
