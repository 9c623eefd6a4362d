#include "ui/EcgDisplayBase.h"

#include "analysis/SignalSource.h"
#include "ui/AverageBeatInset.h"
#include "ui/DisplayScale.h"
#include "ui/EcgPainter.h"

#include <QPainter>
#include <cmath>

EcgDisplayBase::EcgDisplayBase(QWidget *parent) : QWidget(parent), scheme_(&DisplayColorScheme::byName(QString())) {
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 80);
}

void EcgDisplayBase::setSource(const SignalSource *source) {
    const bool sameShape = source && source_ && source->channelCount() == source_->channelCount() &&
                           source->samplingRate() == source_->samplingRate();
    source_ = source;
    // A new device shows every lead until told otherwise; a rebuilt filter
    // chain over the same device keeps the choice.
    if (source && !sameShape && static_cast<int>(shown_.size()) != source->channelCount())
        shown_.assign(static_cast<std::size_t>(source->channelCount()), true);
    sourceChanged(sameShape);
}

void EcgDisplayBase::setLeadShown(int channel, bool shown) {
    if (channel < 0) return;
    if (static_cast<std::size_t>(channel) >= shown_.size()) shown_.resize(static_cast<std::size_t>(channel) + 1, true);
    if (shown_[static_cast<std::size_t>(channel)] == shown) return;
    shown_[static_cast<std::size_t>(channel)] = shown;
    layoutChanged();
}

bool EcgDisplayBase::isLeadShown(int channel) const {
    return channel >= 0 && static_cast<std::size_t>(channel) < shown_.size() &&
           shown_[static_cast<std::size_t>(channel)];
}

void EcgDisplayBase::setAmplitudeCalibration(int fullScale) {
    fullScale_ = fullScale > 0 ? fullScale : 0;
    layoutChanged();
}

double EcgDisplayBase::millivoltsPerUnit() const {
    if (!source_) return 0.0;
    const int fullScale = fullScale_ > 0 ? fullScale_ : fullScaleForBits(source_->resolutionBits());
    return fullScale > 0 ? source_->amplitudeMax() / fullScale : 0.0;
}

void EcgDisplayBase::setSpeed(double mmPerSecond) {
    if (!EcgPaperScale::isSpeed(mmPerSecond) || mmPerSecond == scale_.mmPerSecond) return;
    scale_.mmPerSecond = mmPerSecond;
    layoutChanged();
}

void EcgDisplayBase::setGain(double mmPerMillivolt) {
    if (!EcgPaperScale::isGain(mmPerMillivolt) || mmPerMillivolt == scale_.mmPerMillivolt) return;
    scale_.mmPerMillivolt = mmPerMillivolt;
    layoutChanged();
}

void EcgDisplayBase::setHexaxialOrder(bool hexaxial) {
    if (hexaxial == hexaxial_) return;
    hexaxial_ = hexaxial;
    layoutChanged();
}

void EcgDisplayBase::setColorScheme(const QString &name) {
    scheme_ = &DisplayColorScheme::byName(name);
    layoutChanged();
}

void EcgDisplayBase::setShowAverageBeat(bool show) {
    if (show == showAverageBeat_) return;
    showAverageBeat_ = show;
    layoutChanged();
}

void EcgDisplayBase::setPixelsPerMm(double forced) {
    forcedPixelsPerMm_ = forced > 0.0 ? forced : 0.0;
    layoutChanged();
}

double EcgDisplayBase::pixelsPerMm() const {
    return forcedPixelsPerMm_ > 0.0 ? forcedPixelsPerMm_ : DisplayScale::pixelsPerMm(this);
}

EcgPaperScale EcgDisplayBase::paperScale() const {
    EcgPaperScale scale = scale_;
    scale.pixelsPerMm = pixelsPerMm();
    return scale;
}

std::vector<DisplayLead> EcgDisplayBase::rows() const {
    if (!source_) return {};
    return EcgLeadLayout::shown(source_->channelNames(), shown_, hexaxial_);
}

QRectF EcgDisplayBase::traceArea() const {
    const double mm = pixelsPerMm();
    const double left = std::round(kMarginMm * mm);
    const double inset = hasInsets() ? std::round(AverageBeatInset::kWidthMm * mm) : 0.0;
    return QRectF(left, 0, std::max(1.0, width() - left - inset), height());
}

QRectF EcgDisplayBase::insetArea() const {
    if (!hasInsets()) return QRectF();
    const QRectF trace = traceArea();
    return QRectF(trace.right(), 0, width() - trace.right(), height());
}

QRectF EcgDisplayBase::rowRect(int row) const {
    const int count = static_cast<int>(rows().size());
    if (count == 0) return QRectF();
    const double h = static_cast<double>(height()) / count;
    return QRectF(0, row * h, width(), h);
}

double EcgDisplayBase::baselineY(int row) const {
    const QRectF r = rowRect(row);
    // Below the middle: most of a QRS lies above the baseline.
    return std::round(r.top() + 0.6 * r.height());
}

void EcgDisplayBase::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layoutChanged();
}

void EcgDisplayBase::readMillivolts(int channel, std::int64_t first, int count, std::vector<double> &out) const {
    out.resize(static_cast<std::size_t>(std::max(count, 0)));
    if (!source_ || count <= 0) return;
    source_->readRange(channel, first, count, out.data());
    const double unit = millivoltsPerUnit();
    for (double &v : out) v *= unit;
}

void EcgDisplayBase::preparePainter(QPainter &painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0.5, 0.5);
}

QImage EcgDisplayBase::paperBackground() const {
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter painter(&image);
    preparePainter(painter);
    const EcgPaperScale scale = paperScale();
    const EcgPainter ecg(painter, scale, scheme());
    ecg.drawPaper(QRectF(image.rect()), QPointF(0, 0));
    const std::vector<DisplayLead> leads = rows();
    const double pulseMm = EcgPainter::calibrationWidthMm(scale.mmPerSecond);
    for (int row = 0; row < static_cast<int>(leads.size()); ++row) {
        // Below the baseline, clear of the pulse rising above it.
        ecg.drawLabel(QPointF(scale.px(1.0), baselineY(row) + scale.px(1.0)),
                      leads[static_cast<std::size_t>(row)].label);
        ecg.drawCalibrationPulse(QPointF(traceArea().left() - scale.px(pulseMm + 1.0), baselineY(row)));
    }
    return image;
}
