#pragma once
// The two live ECG panels of a monitor window and what the operator sets on
// them: the leads each panel shows, speed, gain, the live filters, hexaxial
// order, average-beat insets and colour scheme, with the context menu that
// changes them and the settings that keep them under the window's prefix.
// Shared by the stress and the resting monitor windows.

#include <QObject>
#include <QString>
#include <array>

class MonitorSession;
class QMenu;
class QPoint;
class QSignalMonitorDisplay;
class QWidget;

class LiveEcgPanels : public QObject {
    Q_OBJECT
public:
    // `settingsPrefix` is the window's name ("MonitorWindow", ...); the
    // displays and the session must outlive the panels' use of them.
    LiveEcgPanels(QSignalMonitorDisplay &left, QSignalMonitorDisplay &right, MonitorSession &session,
                  const QString &settingsPrefix, QWidget &window);

    std::array<QSignalMonitorDisplay *, 2> displays() const { return {&left_, &right_}; }

    // The standard leads split over the panels as the device's lead count
    // allows, and the displays calibrated to the device's resolution.
    void applyLeadLayout();
    void applyFilters(bool notch, bool lowpass, bool baseline);
    void setSpeed(double mmPerSecond);
    void setGain(double mmPerMillivolt);
    // After every processed block.
    void refresh();
    void attachAverageBeats();
    // Before the engine goes: nothing may point into it afterwards.
    void detach();

    // Rebuilt on every request; null before the first.
    QMenu *contextMenu() const { return contextMenu_; }
    void showContextMenu(QSignalMonitorDisplay *panel, const QPoint &pos);

    void loadSettings();
    void saveSettings() const;

private:
    QString key(const char *name) const;

    QSignalMonitorDisplay &left_;
    QSignalMonitorDisplay &right_;
    MonitorSession &session_;
    QString prefix_;
    QWidget &window_;
    QMenu *contextMenu_ = nullptr;
    QString colorScheme_;
    bool hexaxial_ = false;
};
