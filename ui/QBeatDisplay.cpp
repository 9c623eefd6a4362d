#include "ui/QBeatDisplay.h"

#include "ui/DisplayScale.h"
#include "ui/EcgPainter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kRows = 3;
constexpr double kCellMarginMm = 2.0;
constexpr double kHeaderMm = 8.5;
constexpr int kNameRows = 3;
constexpr double kFitRowMm = 30.0;  // height a fitted row keeps for its beat
}  // namespace

QString QBeatDisplay::markerName(int marker) {
    static const char *const kNames[MarkerCount] = {
        QT_TRANSLATE_NOOP("QBeatDisplay", "P on"),    QT_TRANSLATE_NOOP("QBeatDisplay", "P off"),
        QT_TRANSLATE_NOOP("QBeatDisplay", "P peak"),  QT_TRANSLATE_NOOP("QBeatDisplay", "QRS on"),
        QT_TRANSLATE_NOOP("QBeatDisplay", "QRS off"), QT_TRANSLATE_NOOP("QBeatDisplay", "T on"),
        QT_TRANSLATE_NOOP("QBeatDisplay", "T peak"),  QT_TRANSLATE_NOOP("QBeatDisplay", "T off")};
    return marker >= 0 && marker < MarkerCount ? QCoreApplication::translate("QBeatDisplay", kNames[marker])
                                               : QString();
}

QBeatDisplay::QBeatDisplay(QWidget *parent) : QWidget(parent), scheme_(&DisplayColorScheme::byName(QString())) {
    setObjectName(QStringLiteral("QBeatDisplay"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
    setFocusPolicy(Qt::StrongFocus);
}

void QBeatDisplay::setAverages(std::vector<std::vector<double>> millivolts, const QStringList &names, double rate) {
    averages_ = std::move(millivolts);
    names_ = names;
    rate_ = rate;
    update();
}

void QBeatDisplay::setMarkers(const RestingMarkers &markers) {
    markers_ = markers;
    if (selected_ >= 0 && markerPosition(selected_) <= 0) selected_ = -1;
    update();
}

int QBeatDisplay::markerPosition(int marker) const {
    switch (marker) {
    case POnset: return markers_.pOnset;
    case POffset: return markers_.pEnd;
    case PPeak: return markers_.pPeak;
    case QrsOnset: return markers_.qrsOnset;
    case QrsOffset: return markers_.qrsEnd;
    case TOnset: return markers_.tOnset;
    case TPeak: return markers_.tPeak;
    case TOffset: return markers_.tEnd;
    default: return 0;
    }
}

void QBeatDisplay::setMarkerPosition(int marker, int sample) {
    int *slot[MarkerCount] = {&markers_.pOnset, &markers_.pEnd,   &markers_.pPeak, &markers_.qrsOnset,
                              &markers_.qrsEnd, &markers_.tOnset, &markers_.tPeak, &markers_.tEnd};
    if (marker >= 0 && marker < MarkerCount) *slot[marker] = sample;
}

void QBeatDisplay::setColorScheme(const QString &name) {
    scheme_ = &DisplayColorScheme::byName(name);
    update();
}

void QBeatDisplay::setGain(double mmPerMillivolt) {
    if (!EcgPaperScale::isGain(mmPerMillivolt)) return;
    gain_ = mmPerMillivolt;
    update();
}

void QBeatDisplay::setPixelsPerMm(double forced) {
    forcedPixelsPerMm_ = forced > 0.0 ? forced : 0.0;
    update();
}

void QBeatDisplay::setFitToSize(bool fit) {
    fit_ = fit;
    update();
}

double QBeatDisplay::pixelsPerMm() const {
    if (forcedPixelsPerMm_ > 0.0) return forcedPixelsPerMm_;
    const double screen = DisplayScale::pixelsPerMm(this);
    if (!fit_ || averages_.empty() || rate_ <= 0.0) return screen;
    const double beatMm = static_cast<double>(averages_.front().size()) / rate_ * kMmPerSecond + 2.0 * kCellMarginMm;
    const double byWidth = static_cast<double>(width()) / columns() / beatMm;
    const double byHeight = static_cast<double>(height()) / (kHeaderMm + rows() * kFitRowMm);
    // Never smaller than true size.
    return std::max(screen, std::min(byWidth, byHeight));
}

EcgPaperScale QBeatDisplay::scale() const {
    EcgPaperScale s;
    s.pixelsPerMm = pixelsPerMm();
    s.mmPerSecond = kMmPerSecond;
    s.mmPerMillivolt = gain_;
    return s;
}

void QBeatDisplay::setSelectedMarker(int marker) {
    selected_ = marker >= 0 && marker < MarkerCount && markerPosition(marker) > 0 ? marker : -1;
    update();
}

int QBeatDisplay::rows() const { return std::clamp(static_cast<int>(averages_.size()), 1, kRows); }

int QBeatDisplay::lastSample() const {
    return averages_.empty() ? 1 : std::max(1, static_cast<int>(averages_.front().size()) - 1);
}

int QBeatDisplay::columns() const {
    const int leads = static_cast<int>(averages_.size());
    return std::max(1, (leads + rows() - 1) / rows());
}

QRectF QBeatDisplay::cellRect(int cell) const {
    const int cols = columns();
    const double top = scale().px(kHeaderMm);
    const double w = static_cast<double>(width()) / cols;
    const int n = rows();
    const double h = (height() - top) / n;
    // Column-major, like a cardiograph's 4 x 3 page: I, II, III down the first column.
    return QRectF((cell / n) * w, top + (cell % n) * h, w, h);
}

double QBeatDisplay::xOf(int cell, double sample) const {
    const EcgPaperScale s = scale();
    return cellRect(cell).left() + s.px(kCellMarginMm) + (rate_ > 0.0 ? sample / rate_ : 0.0) * s.pixelsPerSecond();
}

int QBeatDisplay::cellAt(const QPointF &p) const {
    for (int cell = 0; cell < static_cast<int>(averages_.size()); ++cell)
        if (cellRect(cell).contains(p)) return cell;
    return -1;
}

void QBeatDisplay::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, 0.5);
    const EcgPaperScale s = scale();
    const EcgPainter ecg(painter, s, *scheme_);
    ecg.drawPaper(QRectF(rect()), QPointF(0, 0));
    for (int cell = 0; cell < static_cast<int>(averages_.size()); ++cell) {
        const QRectF r = cellRect(cell);
        const std::vector<double> &beat = averages_[static_cast<std::size_t>(cell)];
        const double baseline = std::round(r.top() + 0.6 * r.height());
        ecg.drawLabel(QPointF(r.left() + s.px(1.0), r.top() + s.px(1.0)), names_.value(cell));
        painter.save();
        painter.setClipRect(r);
        ecg.drawTrace(beat.data(), static_cast<int>(beat.size()), rate_, QPointF(xOf(cell, 0), baseline));
        for (int m = 0; m < MarkerCount; ++m) {
            const int position = markerPosition(m);
            if (position <= 0) continue;
            const double x = xOf(cell, position);
            const bool held = m == dragged_ || (dragged_ < 0 && m == selected_);
            painter.setPen(QPen(scheme_->marker, held ? 2.0 : 1.0, held ? Qt::SolidLine : Qt::DashLine));
            painter.drawLine(QPointF(x, r.top() + s.px(1.0)), QPointF(x, r.bottom() - s.px(1.0)));
        }
        painter.restore();
    }
    // The marker names once, above the first column.
    QFont font = painter.font();
    font.setPixelSize(std::max(9, static_cast<int>(s.px(2.5))));
    painter.setFont(font);
    painter.setPen(scheme_->label);
    std::vector<std::pair<int, int>> shown;  // position, marker
    for (int m = 0; m < MarkerCount; ++m)
        if (markerPosition(m) > 0) shown.push_back({markerPosition(m), m});
    std::sort(shown.begin(), shown.end());
    for (std::size_t k = 0; k < shown.size() && !averages_.empty(); ++k) {
        const double x = xOf(0, shown[k].first);
        // Neighbours take turns over three lines so their names do not collide.
        const double line = static_cast<double>(k % kNameRows) * s.px(2.7);
        painter.drawText(QPointF(x - s.px(2.0), s.px(2.5) + line), markerName(shown[k].second));
    }
}

void QBeatDisplay::mousePressEvent(QMouseEvent *event) {
    const int cell = cellAt(event->localPos());
    if (event->button() != Qt::LeftButton || cell < 0) return;
    double best = kGrabPx;
    dragged_ = -1;
    for (int m = 0; m < MarkerCount; ++m) {
        const int position = markerPosition(m);
        if (position <= 0) continue;
        const double d = std::abs(xOf(cell, position) - event->localPos().x());
        if (d <= best) {
            best = d;
            dragged_ = m;
        }
    }
    if (dragged_ >= 0) {
        selected_ = dragged_;
        dragStart_ = markerPosition(dragged_);
        dragCell_ = cell;
        update();
    }
}

void QBeatDisplay::mouseMoveEvent(QMouseEvent *event) {
    if (dragged_ < 0 || rate_ <= 0.0) return;
    const EcgPaperScale s = scale();
    const double seconds = (event->localPos().x() - xOf(dragCell_, 0)) / s.pixelsPerSecond();
    // Sample 0 means "not found", so a dragged marker stays at 1 or later.
    setMarkerPosition(dragged_, std::clamp(static_cast<int>(std::lround(seconds * rate_)), 1, lastSample()));
    update();
}

void QBeatDisplay::mouseReleaseEvent(QMouseEvent *event) {
    if (dragged_ < 0) return;
    mouseMoveEvent(event);
    const int marker = dragged_;
    dragged_ = -1;
    update();
    if (markerPosition(marker) != dragStart_) Q_EMIT markerMoved(marker, markerPosition(marker));
}

void QBeatDisplay::keyPressEvent(QKeyEvent *event) {
    // Up and Down walk the shown markers in the order they stand in the beat.
    std::vector<int> shown;
    for (int m = 0; m < MarkerCount; ++m)
        if (markerPosition(m) > 0) shown.push_back(m);
    std::stable_sort(shown.begin(), shown.end(),
                     [this](int a, int b) { return markerPosition(a) < markerPosition(b); });
    const auto at = std::find(shown.begin(), shown.end(), selected_);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (shown.empty()) break;
        const int count = static_cast<int>(shown.size());
        const int index = at == shown.end() ? 0 : static_cast<int>(at - shown.begin());
        const int step = event->key() == Qt::Key_Down ? 1 : count - 1;
        setSelectedMarker(shown[static_cast<std::size_t>(at == shown.end() ? 0 : (index + step) % count)]);
        return;
    }
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (at == shown.end() || dragged_ >= 0) break;
        const int step = (event->key() == Qt::Key_Left ? -1 : 1) * (event->modifiers() & Qt::ShiftModifier ? 5 : 1);
        const int before = markerPosition(selected_);
        setMarkerPosition(selected_, std::clamp(before + step, 1, lastSample()));
        update();
        if (markerPosition(selected_) != before) Q_EMIT markerMoved(selected_, markerPosition(selected_));
        return;
    }
    default: break;
    }
    QWidget::keyPressEvent(event);
}
