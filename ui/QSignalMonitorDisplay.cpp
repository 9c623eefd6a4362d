#include "ui/QSignalMonitorDisplay.h"

#include "analysis/SignalSource.h"
#include "ui/AverageBeatInset.h"
#include "ui/EcgPainter.h"
#include "ui/EngineAverageBeats.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

QSignalMonitorDisplay::QSignalMonitorDisplay(QWidget *parent) : EcgDisplayBase(parent) {
    setObjectName(QStringLiteral("QSignalMonitorDisplay"));
}

QSignalMonitorDisplay::~QSignalMonitorDisplay() = default;

void QSignalMonitorDisplay::attachAverageBeats(MonitorEngine *engine) {
    setAverageBeatProvider(engine ? std::make_unique<EngineAverageBeats>(*engine) : nullptr);
}

void QSignalMonitorDisplay::setAverageBeatProvider(std::unique_ptr<AverageBeatProvider> provider) {
    averages_ = std::move(provider);
    layoutChanged();
}

void QSignalMonitorDisplay::setBaselineFilterOff(bool off) {
    if (off == baselineFilterOff_) return;
    baselineFilterOff_ = off;
    layoutChanged();
}

bool QSignalMonitorDisplay::hasInsets() const { return averages_ && showAverageBeat(); }

void QSignalMonitorDisplay::layoutChanged() {
    stale_ = true;
    update();
}

void QSignalMonitorDisplay::sourceChanged(bool sameShape) {
    // The same device with new filters: the sweep goes on where it was.
    if (sameShape && !stale_ && drawn_ >= 0 && source()) {
        gapUntil_ = source()->length();
        return;
    }
    gapUntil_ = -1;
    drawn_ = -1;
    layoutChanged();
}

double QSignalMonitorDisplay::xOf(std::int64_t sample) const {
    const std::int64_t position = ((sample - origin_) % sweepSamples_ + sweepSamples_) % sweepSamples_;
    return traceArea().left() + position * pxPerSample_;
}

void QSignalMonitorDisplay::drawBackground() {
    background_ = paperBackground();
    if (!baselineFilterOff_) return;
    QPainter painter(&background_);
    preparePainter(painter);
    const EcgPaperScale scale = paperScale();
    const EcgPainter ecg(painter, scale, scheme());
    // Part of the paper, so the sweep passes over it without wiping it.
    ecg.drawLabel(QPointF(traceArea().left() + scale.px(2.0), scale.px(1.0)), tr("Baseline filter off"), 2.5);
}

void QSignalMonitorDisplay::rebuild() {
    stale_ = false;
    drawBackground();
    canvas_ = background_.copy();
    const EcgPaperScale scale = paperScale();
    const SignalSource *signal = source();
    if (!signal || signal->samplingRate() <= 0) {
        sweepSamples_ = 0;
        return;
    }
    pxPerSample_ = scale.pixelsPerSecond() / signal->samplingRate();
    sweepSamples_ = std::max(2, static_cast<int>(std::floor(traceArea().width() / pxPerSample_)));
    if (drawn_ < 0 || drawn_ > signal->length()) {
        // A new source, or one that restarted: the sweep begins at the left.
        drawn_ = signal->length();
        origin_ = drawn_;
    } else {
        // Same signal at a new scale or size: redraw what the screen holds.
        const int eraseSamples = static_cast<int>(std::ceil(kEraseSeconds * signal->samplingRate()));
        std::int64_t from = std::max<std::int64_t>(0, drawn_ - std::max(0, sweepSamples_ - eraseSamples));
        // Nothing before the current filter chain began is held by it.
        if (gapUntil_ > from && gapUntil_ <= drawn_) from = gapUntil_;
        drawSamples(from, drawn_);
    }
    insetRevision_ = -1;
    drawInsets();
}

void QSignalMonitorDisplay::refresh() {
    if (stale_) rebuild();
    const SignalSource *signal = source();
    if (!signal || sweepSamples_ <= 0) return;
    const std::int64_t length = signal->length();
    if (length < drawn_) {
        // The filters were rebuilt on a shorter signal: go on from there.
        drawn_ = length;
        return;
    }
    QRect changed;
    bool join = true;
    if (gapUntil_ > drawn_ && length >= gapUntil_) {
        // Blank where the new chain has no samples.
        const double pen = std::max(1.0, EcgPainter::kTraceWidthMm * paperScale().pixelsPerMm);
        const double from = xOf(drawn_) + pen + 1.0;
        const double span = std::min<std::int64_t>(gapUntil_ - drawn_, sweepSamples_) * pxPerSample_;
        changed |= erase(from, span);
        drawn_ = gapUntil_;
        join = false;
    }
    if (length > drawn_) {
        changed |= drawSamples(drawn_, length, join);
        drawn_ = length;
    }
    if (averages_ && showAverageBeat() && averages_->revision() != insetRevision_) {
        drawInsets();
        changed |= insetArea().toAlignedRect();
    }
    if (!changed.isEmpty()) update(changed);
}

QRect QSignalMonitorDisplay::drawSamples(std::int64_t from, std::int64_t to, bool join) {
    const int eraseSamples = static_cast<int>(std::ceil(kEraseSeconds * source()->samplingRate()));
    // More than a sweep at once: only the newest part can be seen.
    from = std::max(from, to - std::max<std::int64_t>(1, sweepSamples_ - eraseSamples));
    QRect changed;
    std::int64_t start = from;
    while (start < to) {
        const std::int64_t position = ((start - origin_) % sweepSamples_ + sweepSamples_) % sweepSamples_;
        const std::int64_t end = std::min(to, start + (sweepSamples_ - position));
        changed |= drawSegment(start, end, join);
        join = true;
        start = end;
    }
    return changed;
}

QRect QSignalMonitorDisplay::drawSegment(std::int64_t from, std::int64_t to, bool join) {
    const QRectF trace = traceArea();
    const EcgPaperScale scale = paperScale();
    const double pen = std::max(1.0, EcgPainter::kTraceWidthMm * scale.pixelsPerMm);
    // Join on to the previous sample unless this segment starts a sweep.
    const bool joins = join && xOf(from) > trace.left() && from > 0;
    const std::int64_t first = joins ? from - 1 : from;
    const double x0 = xOf(first);
    const double x1 = xOf(to - 1);
    // Clear where this segment goes (right of the joint) and the erase bar
    // ahead of it; old signal beyond the bar stays until the sweep gets there.
    const double clearFrom = joins ? x0 + pen + 1.0 : std::max(trace.left(), x0 - pen);
    const double clearTo = x1 + pen + kEraseSeconds * scale.pixelsPerSecond();
    QRect changed = erase(clearFrom, clearTo - clearFrom);

    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(trace);
    painter.translate(0.5, 0.5);
    const EcgPainter ecg(painter, scale, scheme());
    const std::vector<DisplayLead> leads = rows();
    for (int row = 0; row < static_cast<int>(leads.size()); ++row) {
        const DisplayLead &lead = leads[static_cast<std::size_t>(row)];
        readMillivolts(lead.channel, first, static_cast<int>(to - first), values_);
        ecg.drawTrace(values_.data(), static_cast<int>(values_.size()), source()->samplingRate(),
                      QPointF(x0, baselineY(row)), lead.inverted);
    }
    changed |= QRectF(x0 - pen - 1.0, trace.top(), x1 - x0 + 2 * pen + 2.0, trace.height()).toAlignedRect();
    return changed & trace.toAlignedRect();
}

QRect QSignalMonitorDisplay::erase(double fromX, double widthPx) {
    const QRectF trace = traceArea();
    QPainter painter(&canvas_);
    QRect changed;
    double x = fromX;
    double left = widthPx;
    while (left > 0.0) {
        if (x >= trace.right()) x = trace.left() + (x - trace.right());
        const double w = std::min(left, trace.right() - x);
        const QRect strip = QRectF(x, trace.top(), w, trace.height()).toAlignedRect() & trace.toAlignedRect();
        painter.drawImage(strip, background_, strip);
        changed |= strip;
        left -= w;
        x += w;
    }
    return changed;
}

void QSignalMonitorDisplay::drawInsets() {
    if (!averages_ || !showAverageBeat()) return;
    insetRevision_ = averages_->revision();
    const QRectF column = insetArea();
    QPainter painter(&canvas_);
    painter.drawImage(column, background_, column);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, 0.5);
    const EcgPaperScale scale = paperScale();
    const EcgPainter ecg(painter, scale, scheme());
    const std::vector<DisplayLead> leads = rows();
    AverageBeatView view;
    for (int row = 0; row < static_cast<int>(leads.size()); ++row) {
        const QRectF r = rowRect(row);
        const QRectF box(column.left() + scale.px(0.5), r.top() + scale.px(0.5), column.width() - scale.px(1.0),
                         r.height() - scale.px(1.0));
        const DisplayLead &lead = leads[static_cast<std::size_t>(row)];
        if (!averages_->view(lead.channel, &view)) view = AverageBeatView{};
        if (lead.inverted) {
            for (double &v : view.current) v = -v;
            for (double &v : view.reference) v = -v;
            view.levelMv = -view.levelMv;
            view.slopeMvPerSecond = -view.slopeMvPerSecond;
        }
        AverageBeatInset::draw(painter, ecg, box, baselineY(row), view);
    }
}

void QSignalMonitorDisplay::paintEvent(QPaintEvent *event) {
    if (stale_) rebuild();
    QPainter painter(this);
    for (const QRect &r : event->region()) painter.drawImage(r, canvas_, r);
}
