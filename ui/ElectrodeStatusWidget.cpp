#include "ui/ElectrodeStatusWidget.h"

#include "ui/ElectrodePlacement.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace {
const QColor kAttached(Qt::darkGreen);
const QColor kOff(Qt::red);
constexpr double kRingRadius = 12.5;
}  // namespace

ElectrodeStatusWidget::ElectrodeStatusWidget(QWidget *parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    for (const ElectrodeSpot &spot : ElectrodePlacement::spots()) {
        auto *label = new QLabel(spot.name, this);
        label->setObjectName(QStringLiteral("lbl") + spot.name);
        QFont font = label->font();
        font.setBold(true);
        // The name has to fit inside its ring.
        font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1.0));
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        labels_.insert(spot.name, label);
        off_.insert(spot.name, false);
        showState(spot.name);
    }
    placeLabels();

    doNotShowAgain_ = new QCheckBox(tr("Do not show again"), this);
    doNotShowAgain_->setObjectName(QStringLiteral("chkDoNotShowAgain"));
    // The panel is always light, whatever style the window around it uses.
    doNotShowAgain_->setStyleSheet(QStringLiteral("color: black"));
    doNotShowAgain_->setGeometry(kMargin, kHeight - kCheckBoxHeight - kMargin / 2, kWidth - 2 * kMargin,
                                 kCheckBoxHeight);
    connect(doNotShowAgain_, &QCheckBox::toggled, this, [this](bool checked) {
        if (!checked || dismissed_) return;
        dismissed_ = true;
        hide();
        Q_EMIT dismissed();
    });
}

QStringList ElectrodeStatusWidget::electrodeNames() {
    QStringList names;
    for (const ElectrodeSpot &spot : ElectrodePlacement::spots()) names << spot.name;
    return names;
}

void ElectrodeStatusWidget::setElectrodeOff(const QString &name, bool off) {
    if (!off_.contains(name) || off_.value(name) == off) return;
    off_[name] = off;
    showState(name);
    update();
}

bool ElectrodeStatusWidget::anyElectrodeOff() const {
    for (bool off : off_)
        if (off) return true;
    return false;
}

QRectF ElectrodeStatusWidget::torsoArea() const {
    return QRectF(kMargin, kMargin, kWidth - 2 * kMargin, kHeight - kCheckBoxHeight - 2 * kMargin);
}

QPointF ElectrodeStatusWidget::centreOf(const QString &name) const {
    const QRectF area = torsoArea();
    for (const ElectrodeSpot &spot : ElectrodePlacement::spots())
        if (spot.name == name)
            return QPointF(area.left() + spot.where.x() * area.width(), area.top() + spot.where.y() * area.height());
    return area.center();
}

void ElectrodeStatusWidget::placeLabels() {
    const QSize box(2 * static_cast<int>(kRingRadius), 2 * static_cast<int>(kRingRadius));
    for (auto it = labels_.begin(); it != labels_.end(); ++it) {
        const QPointF centre = centreOf(it.key());
        it.value()->setGeometry(
            QRect(QPoint(qRound(centre.x()) - box.width() / 2, qRound(centre.y()) - box.height() / 2), box));
    }
}

void ElectrodeStatusWidget::showState(const QString &name) {
    labels_.value(name)->setStyleSheet(off_.value(name) ? QStringLiteral("color: red")
                                                        : QStringLiteral("color: green"));
}

void ElectrodeStatusWidget::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::gray, 1));
    painter.setBrush(QColor(0xfa, 0xfa, 0xfa));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);

    const QRectF area = torsoArea();
    QPolygonF outline = ElectrodePlacement::torsoOutline();
    for (QPointF &p : outline) p = QPointF(area.left() + p.x() * area.width(), area.top() + p.y() * area.height());
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
    painter.setBrush(QColor(0xf3, 0xe6, 0xd8));
    painter.drawPolygon(outline);

    for (auto it = off_.constBegin(); it != off_.constEnd(); ++it) {
        painter.setPen(QPen(it.value() ? kOff : kAttached, it.value() ? 3 : 2));
        painter.setBrush(Qt::white);
        painter.drawEllipse(centreOf(it.key()), kRingRadius, kRingRadius);
    }
}
