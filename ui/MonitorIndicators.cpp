#include "ui/MonitorIndicators.h"

#include "ui/ElectrodeStatusWidget.h"

#include <QLabel>
#include <algorithm>
#include <QPixmap>

namespace {

constexpr int kIconSize = 40;
constexpr int kMargin = 10;
constexpr int kNoticeWidth = 160;
constexpr int kNoticeHeight = 30;
constexpr int kBannerLines = 3;
const char *const kNoticeStyle = "background: white; color: red; font-weight: bold; font-size: 15px";
const char *const kBannerStyle =
    "background: #b00020; color: white; font-weight: bold; font-size: 15px; padding: 6px; border-radius: 3px";

}  // namespace

MonitorIndicators::MonitorIndicators(QWidget &ecgArea, QWidget &window, double lowBatteryLevel)
    : QObject(&window), area_(ecgArea), window_(window), lowBatteryLevel_(lowBatteryLevel) {}

QLabel *MonitorIndicators::icon(QLabel *&slot, const QString &resource) {
    if (!slot) {
        slot = new QLabel(&area_);
        slot->setPixmap(QPixmap(resource).scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        slot->setFixedSize(kIconSize, kIconSize);
        slot->setAttribute(Qt::WA_TranslucentBackground);
        slot->setStyleSheet(QStringLiteral("background: transparent"));
        slot->hide();
    }
    return slot;
}

QLabel *MonitorIndicators::notice(QLabel *&slot, const QString &text) {
    if (!slot) {
        slot = new QLabel(text, &area_);
        slot->setAlignment(Qt::AlignCenter);
        slot->setStyleSheet(QLatin1String(kNoticeStyle));
        slot->setFixedSize(kNoticeWidth, kNoticeHeight);
        slot->hide();
    }
    return slot;
}

void MonitorIndicators::setShown(QLabel *label, bool shown) {
    if (!label) return;
    label->setVisible(shown);
    if (shown) label->raise();
}

void MonitorIndicators::showSimulated() {
    setShown(notice(simulated_, tr("Simulated ECG")), true);
    place();
}

void MonitorIndicators::showDeviceState(const DeviceState &state) {
    const bool low = state.lowBattery(lowBatteryLevel_);
    if (low || lowBattery_) setShown(icon(lowBattery_, QStringLiteral(":/res/low-battery")), low);
    if (!state.connected || connecting_)
        setShown(icon(connecting_, QStringLiteral(":/res/connecting")), !state.connected);
    const bool inoperative = state.anyLeadInoperative();
    if (inoperative || inoperative_) setShown(notice(inoperative_, tr("Inoperative ECG")), inoperative);

    const bool anyOff = state.anyElectrodeOff();
    if (anyOff && !electrodes_) {
        electrodes_ = new ElectrodeStatusWidget(&window_);
        electrodes_->resize(electrodes_->sizeHint());
        electrodes_->hide();
    }
    if (electrodes_ && !electrodes_->isDismissed()) {
        for (const QString &name : DeviceState::monitoredElectrodes())
            electrodes_->setElectrodeOff(name, state.electrodesOff.contains(name));
        electrodes_->setVisible(anyOff);
        if (anyOff) electrodes_->raise();
    }
    place();
}

void MonitorIndicators::showPrinting(bool printing) {
    if (printing || printer_) setShown(icon(printer_, QStringLiteral(":/res/Print-50")), printing);
    place();
}

void MonitorIndicators::showFailure(const QString &text) {
    if (text.isEmpty() || failures_.contains(text)) return;
    failures_ << text;
    // A failure that repeats with changing detail must not fill the screen.
    while (failures_.size() > kBannerLines) failures_.removeFirst();
    if (!banner_) {
        banner_ = new QLabel(&area_);
        banner_->setObjectName(QStringLiteral("lblFailureBanner"));
        banner_->setStyleSheet(QLatin1String(kBannerStyle));
        banner_->setWordWrap(true);
        banner_->setAlignment(Qt::AlignCenter);
        banner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    banner_->setText(failures_.join(QLatin1Char('\n')));
    setShown(banner_, true);
    place();
}

void MonitorIndicators::place() {
    const int right = area_.width() - kMargin;
    const int bottom = area_.height() - kMargin;
    if (lowBattery_) lowBattery_->move(right - kIconSize, bottom - kIconSize);
    if (printer_) printer_->move(right - 2 * kIconSize - kMargin, bottom - kIconSize);
    if (connecting_) connecting_->move(right - 3 * kIconSize - 2 * kMargin, bottom - 2 * kIconSize - kMargin);
    if (simulated_) simulated_->move(40, 10);
    if (inoperative_) inoperative_->move(window_.width() - 349, 10);
    if (electrodes_) electrodes_->move(window_.width() - electrodes_->width() - kMargin, kMargin);
    if (banner_) {
        const int width = std::min(area_.width() - 2 * kMargin, 640);
        banner_->setFixedWidth(width);
        banner_->adjustSize();
        banner_->move((area_.width() - width) / 2, 50);
    }
}
