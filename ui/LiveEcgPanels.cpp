#include "ui/LiveEcgPanels.h"

#include "acquisition/AcqDevice.h"
#include "analysis/MonitorFeeds.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "ui/DisplayColorScheme.h"
#include "ui/QSignalMonitorDisplay.h"

#include <QMenu>
#include <QSettings>
#include <QTimer>

namespace {
constexpr int kPanelLeads = 6;
constexpr int kStandardLeads = 12;
}  // namespace

LiveEcgPanels::LiveEcgPanels(QSignalMonitorDisplay &left, QSignalMonitorDisplay &right, MonitorSession &session,
                             const QString &settingsPrefix, QWidget &window)
    : QObject(&window), left_(left), right_(right), session_(session), prefix_(settingsPrefix), window_(window) {}

QString LiveEcgPanels::key(const char *name) const { return prefix_ + QLatin1Char('/') + QLatin1String(name); }

void LiveEcgPanels::applyLeadLayout() {
    const int leads = session_.device().channelCount();
    for (int lead = 0; lead < leads; ++lead) {
        const bool left = lead < kPanelLeads || (leads == 7 && lead == 6);
        const bool right = leads > 7 && lead >= kPanelLeads && lead < kStandardLeads;
        left_.setLeadShown(lead, left);
        right_.setLeadShown(lead, right);
    }
    right_.setVisible(leads > 7);
    const int fullScale = QSignalMonitorDisplay::fullScaleForBits(session_.device().resolutionBits());
    for (QSignalMonitorDisplay *display : displays()) display->setAmplitudeCalibration(fullScale);
}

void LiveEcgPanels::applyFilters(bool notch, bool lowpass, bool baseline) {
    MonitorFeeds &feeds = session_.engine().feeds();
    feeds.configureLiveChain(notch, lowpass, baseline);
    for (QSignalMonitorDisplay *display : displays()) {
        display->setSource(&feeds.liveOutput());
        display->setBaselineFilterOff(!baseline);
    }
}

void LiveEcgPanels::setSpeed(double mmPerSecond) {
    for (QSignalMonitorDisplay *display : displays()) display->setSpeed(mmPerSecond);
}

void LiveEcgPanels::setGain(double mmPerMillivolt) {
    for (QSignalMonitorDisplay *display : displays()) display->setGain(mmPerMillivolt);
}

void LiveEcgPanels::refresh() {
    for (QSignalMonitorDisplay *display : displays()) display->refresh();
}

void LiveEcgPanels::attachAverageBeats() {
    for (QSignalMonitorDisplay *display : displays()) display->attachAverageBeats(&session_.engine());
}

void LiveEcgPanels::detach() {
    for (QSignalMonitorDisplay *display : displays()) {
        display->detachAverageBeats();
        display->setSource(nullptr);
    }
}

void LiveEcgPanels::showContextMenu(QSignalMonitorDisplay *panel, const QPoint &pos) {
    QSignalMonitorDisplay *other = panel == &left_ ? &right_ : &left_;
    if (!contextMenu_) contextMenu_ = new QMenu(&window_);
    contextMenu_->clear();
    const AcqDevice &device = session_.device();
    const int leads = device.channelCount();
    contextMenu_->addSection(tr("Show leads"));
    for (int lead = 0; lead < leads; ++lead) {
        QAction *action = contextMenu_->addAction(device.channelName(lead));
        action->setCheckable(true);
        action->setChecked(panel->isLeadShown(lead));
        connect(action, &QAction::triggered, this, [this, panel, pos, lead](bool checked) {
            panel->setLeadShown(lead, checked);
            // Several leads are usually changed in a row.
            QTimer::singleShot(0, this, [this, panel, pos] { showContextMenu(panel, pos); });
        });
    }
    contextMenu_->addSeparator();
    if (leads > 7) {
        QAction *doublePanel = contextMenu_->addAction(tr("Double panel"));
        doublePanel->setCheckable(true);
        doublePanel->setChecked(other->isVisible());
        connect(doublePanel, &QAction::triggered, this, [other](bool checked) { other->setVisible(checked); });
    }
    if (leads > 5) {
        QAction *hexaxial = contextMenu_->addAction(tr("Hexaxial order"));
        hexaxial->setCheckable(true);
        hexaxial->setChecked(hexaxial_);
        connect(hexaxial, &QAction::triggered, this, [this](bool checked) {
            hexaxial_ = checked;
            for (QSignalMonitorDisplay *display : displays()) display->setHexaxialOrder(checked);
        });
    }
    QAction *average = contextMenu_->addAction(tr("Average beat"));
    average->setCheckable(true);
    average->setChecked(panel->showAverageBeat());
    connect(average, &QAction::triggered, this, [this](bool checked) {
        for (QSignalMonitorDisplay *display : displays()) display->setShowAverageBeat(checked);
    });
    QMenu *schemes = contextMenu_->addMenu(tr("Color scheme"));
    for (const QString &name : DisplayColorScheme::names()) {
        QAction *action = schemes->addAction(DisplayColorScheme::translatedName(name));
        connect(action, &QAction::triggered, this, [this, name] {
            colorScheme_ = name;
            for (QSignalMonitorDisplay *display : displays()) display->setColorScheme(name);
        });
    }
    contextMenu_->popup(panel->mapToGlobal(pos));
}

void LiveEcgPanels::loadSettings() {
    QSettings settings;
    colorScheme_ = settings.value(key("DisplayColorScheme"), QString()).toString();
    hexaxial_ = settings.value(key("HexaxialOrder"), false).toBool();
    const bool average = settings.value(key("ShowAverageBeat"), true).toBool();
    for (QSignalMonitorDisplay *display : displays()) {
        display->setColorScheme(colorScheme_);
        display->setHexaxialOrder(hexaxial_);
        display->setShowAverageBeat(average);
    }
}

void LiveEcgPanels::saveSettings() const {
    QSettings settings;
    settings.setValue(key("DisplayColorScheme"), colorScheme_);
    settings.setValue(key("HexaxialOrder"), hexaxial_);
    settings.setValue(key("ShowAverageBeat"), left_.showAverageBeat());
}
