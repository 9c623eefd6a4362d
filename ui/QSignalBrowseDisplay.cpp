#include "ui/QSignalBrowseDisplay.h"

#include "analysis/SignalSource.h"
#include "ui/AverageBeatInset.h"
#include "ui/EcgPainter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double kWheelStepSeconds = 1.0;  // per notch
constexpr double kKeyStepSeconds = 1.0;
constexpr double kPickRadiusPx = 6.0;
}  // namespace

QSignalBrowseDisplay::QSignalBrowseDisplay(QWidget *parent) : EcgDisplayBase(parent) {
    setObjectName(QStringLiteral("QSignalBrowseDisplay"));
    setFocusPolicy(Qt::StrongFocus);
    lastSpeed_ = speed();
    lastGain_ = gain();
}

QSignalBrowseDisplay::~QSignalBrowseDisplay() = default;

double QSignalBrowseDisplay::pageSeconds() const { return traceArea().width() / paperScale().pixelsPerSecond(); }

double QSignalBrowseDisplay::recordSeconds() const {
    return source() && source()->samplingRate() > 0 ? static_cast<double>(source()->length()) / source()->samplingRate()
                                                    : 0.0;
}

void QSignalBrowseDisplay::setStartTime(double seconds) {
    const double latest = std::max(0.0, recordSeconds() - pageSeconds());
    const double t = std::clamp(seconds, 0.0, latest);
    if (t == startTime_) return;
    startTime_ = t;
    stale_ = true;
    update();
    Q_EMIT startTimeChanged(startTime_);
}

double QSignalBrowseDisplay::timeAt(double x) const {
    return startTime_ + (x - traceArea().left()) / paperScale().pixelsPerSecond();
}

double QSignalBrowseDisplay::xAt(double seconds) const {
    return traceArea().left() + (seconds - startTime_) * paperScale().pixelsPerSecond();
}

void QSignalBrowseDisplay::setBeats(std::vector<Beat> beats) {
    beats_ = std::move(beats);
    selectedBeat_ = -1;
    update();
}

void QSignalBrowseDisplay::setSelectedBeat(int index) {
    if (index < -1 || index >= static_cast<int>(beats_.size()) || index == selectedBeat_) return;
    selectedBeat_ = index;
    update();
    Q_EMIT selectedBeatChanged(index);
}

int QSignalBrowseDisplay::rowAt(double y) const {
    const int count = static_cast<int>(rows().size());
    for (int row = 0; row < count; ++row)
        if (rowRect(row).contains(QPointF(rowRect(row).left(), y))) return row;
    return count - 1;
}

void QSignalBrowseDisplay::setCursor(double seconds, int row) {
    const std::vector<DisplayLead> leads = rows();
    if (!source() || leads.empty()) return;
    row = std::clamp(row, 0, static_cast<int>(leads.size()) - 1);
    cursorTime_ = std::clamp(seconds, 0.0, recordSeconds());
    const DisplayLead &lead = leads[static_cast<std::size_t>(row)];
    std::vector<double> value;
    readMillivolts(lead.channel, std::llround(cursorTime_ * source()->samplingRate()), 1, value);
    cursorValue_ = lead.inverted ? -value.front() : value.front();
    update();
    Q_EMIT cursorChanged(cursorTime_);
    Q_EMIT selectedValueChanged(cursorValue_);
}

void QSignalBrowseDisplay::clearCursor() {
    cursorTime_ = -1.0;
    update();
}

void QSignalBrowseDisplay::setHighlight(double start, double duration) {
    if (duration <= 0.0) start = duration = 0.0;
    if (start == highlightStart_ && duration == highlightDuration_) return;
    highlightStart_ = start;
    highlightDuration_ = duration;
    update();
    Q_EMIT highlightChanged(start, duration);
}

void QSignalBrowseDisplay::setAverageBeatProvider(std::unique_ptr<AverageBeatProvider> provider) {
    provider_ = std::move(provider);
    layoutChanged();
}

void QSignalBrowseDisplay::layoutChanged() {
    backgroundStale_ = true;
    stale_ = true;
    update();
    if (speed() != lastSpeed_ || gain() != lastGain_) {
        lastSpeed_ = speed();
        lastGain_ = gain();
        Q_EMIT scaleChanged(lastSpeed_, lastGain_);
    }
}

void QSignalBrowseDisplay::renderBackground() {
    backgroundStale_ = false;
    background_ = paperBackground();
}

void QSignalBrowseDisplay::renderPage() {
    if (backgroundStale_) renderBackground();
    stale_ = false;
    // The page image is reused from step to step: a fresh one of several
    // megabytes per page costs more in first-touch page faults than the copy.
    if (page_.size() == background_.size() && page_.format() == background_.format())
        std::memcpy(page_.bits(), background_.constBits(), static_cast<std::size_t>(background_.sizeInBytes()));
    else
        page_ = background_.copy();
    QPainter painter(&page_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, 0.5);
    const EcgPaperScale scale = paperScale();
    const EcgPainter ecg(painter, scale, scheme());
    const std::vector<DisplayLead> leads = rows();
    const QRectF trace = traceArea();
    const SignalSource *signal = source();
    const int rate = signal ? signal->samplingRate() : 0;
    const std::int64_t first = std::llround(startTime_ * rate);
    const int count = rate > 0 ? static_cast<int>(std::ceil(pageSeconds() * rate)) + 1 : 0;
    if (signal && count > 0) {
        // The page's leads are read one after the other; a filtered view
        // computes them faster side by side.
        std::vector<int> channels;
        for (const DisplayLead &lead : leads) channels.push_back(lead.channel);
        signal->prepareRange(channels, first, count);
    }
    if (provider_ && showAverageBeat()) provider_->setTimeWindow(startTime_, startTime_ + pageSeconds());
    AverageBeatView view;
    for (int row = 0; row < static_cast<int>(leads.size()); ++row) {
        const DisplayLead &lead = leads[static_cast<std::size_t>(row)];
        const QRectF r = rowRect(row);
        if (count > 0) {
            readMillivolts(lead.channel, first, count, values_);
            painter.save();
            painter.setClipRect(trace);
            ecg.drawTrace(values_.data(), count, rate, QPointF(xAt(static_cast<double>(first) / rate), baselineY(row)),
                          lead.inverted);
            painter.restore();
        }
        if (provider_ && showAverageBeat()) {
            const QRectF column = insetArea();
            const QRectF box(column.left() + scale.px(0.5), r.top() + scale.px(0.5), column.width() - scale.px(1.0),
                             r.height() - scale.px(1.0));
            if (!provider_->view(lead.channel, &view)) view = AverageBeatView{};
            if (lead.inverted) {
                for (double &v : view.current) v = -v;
                for (double &v : view.reference) v = -v;
                view.levelMv = -view.levelMv;
                view.slopeMvPerSecond = -view.slopeMvPerSecond;
            }
            AverageBeatInset::draw(painter, ecg, box, baselineY(row), view);
        }
    }
}

void QSignalBrowseDisplay::drawOverlays(QPainter &painter) const {
    const QRectF trace = traceArea();
    const EcgPaperScale scale = paperScale();
    painter.save();
    painter.setClipRect(trace);
    painter.setRenderHint(QPainter::Antialiasing);
    if (highlightDuration_ > 0.0) {
        QColor band = scheme().highlight;
        band.setAlpha(45);
        painter.fillRect(QRectF(QPointF(xAt(highlightStart_), trace.top()),
                                QPointF(xAt(highlightStart_ + highlightDuration_), trace.bottom())),
                         band);
    }
    const double markTop = trace.top() + scale.px(0.5);
    const double markHeight = scale.px(kMarkStripMm - 1.0);
    for (int i = 0; i < static_cast<int>(beats_.size()); ++i) {
        const Beat &beat = beats_[static_cast<std::size_t>(i)];
        const double x = xAt(beat.time);
        if (x < trace.left() - markHeight || x > trace.right() + markHeight) continue;
        const QColor colour = beat.normal ? scheme().label : scheme().premature;
        const QPolygonF mark({QPointF(x - markHeight / 2, markTop), QPointF(x + markHeight / 2, markTop),
                              QPointF(x, markTop + markHeight)});
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(mark);
        if (i == selectedBeat_) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(scheme().cursor, 2));
            painter.drawRect(
                QRectF(x - markHeight, markTop - scale.px(0.3), 2 * markHeight, markHeight + scale.px(0.6)));
        }
    }
    if (cursorTime_ >= 0.0) {
        const double x = xAt(cursorTime_);
        painter.setPen(QPen(scheme().cursor, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, trace.top()), QPointF(x, trace.bottom()));
        const EcgPainter ecg(painter, scale, scheme());
        const QString text = QStringLiteral("%1 s  %2 mV").arg(cursorTime_, 0, 'f', 3).arg(cursorValue_, 0, 'f', 2);
        const double textX = x + scale.px(1.0) + scale.px(40) > trace.right() ? x - scale.px(40) : x + scale.px(1.0);
        ecg.drawLabel(QPointF(textX, trace.top() + scale.px(kMarkStripMm)), text, 2.5);
    }
    painter.restore();
}

void QSignalBrowseDisplay::paintEvent(QPaintEvent *) {
    if (stale_) renderPage();
    QPainter painter(this);
    painter.drawImage(0, 0, page_);
    drawOverlays(painter);
}

void QSignalBrowseDisplay::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Left: setStartTime(startTime_ - kKeyStepSeconds); break;
    case Qt::Key_Right: setStartTime(startTime_ + kKeyStepSeconds); break;
    case Qt::Key_PageUp: setStartTime(startTime_ - pageSeconds()); break;
    case Qt::Key_PageDown: setStartTime(startTime_ + pageSeconds()); break;
    case Qt::Key_Home: setStartTime(0.0); break;
    case Qt::Key_End: setStartTime(recordSeconds()); break;
    default: EcgDisplayBase::keyPressEvent(event); return;
    }
    event->accept();
}

void QSignalBrowseDisplay::wheelEvent(QWheelEvent *event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) {
        event->ignore();
        return;
    }
    // Rolling towards the user moves forward in time.
    setStartTime(startTime_ - notches * kWheelStepSeconds);
    event->accept();
}

void QSignalBrowseDisplay::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        EcgDisplayBase::mousePressEvent(event);
        return;
    }
    const QPointF p = event->localPos();
    const QRectF trace = traceArea();
    if (!trace.contains(p)) return;
    if (p.y() < trace.top() + paperScale().px(kMarkStripMm)) {
        int nearest = -1;
        double best = kPickRadiusPx;
        for (int i = 0; i < static_cast<int>(beats_.size()); ++i) {
            const double d = std::abs(xAt(beats_[static_cast<std::size_t>(i)].time) - p.x());
            if (d <= best) {
                best = d;
                nearest = i;
            }
        }
        if (nearest >= 0) {
            setSelectedBeat(nearest);
            return;
        }
    }
    setCursor(timeAt(p.x()), rowAt(p.y()));
}
