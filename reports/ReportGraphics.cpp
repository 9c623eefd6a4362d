#include "reports/ReportGraphics.h"

#include "acquisition/FileSignal.h"
#include "analysis/ReviewFilterChain.h"
#include "reports/EventCapture.h"
#include "reports/ReportTemplate.h"
#include "reports/StressAverageBeats.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "ui/EcgDisplayBase.h"
#include "ui/EcgPage.h"
#include "ui/TrendPlotPainter.h"
#include "ui/TrendSeries.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QStringList>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// ECG and trend titles are template words, looked up as the layout looks up
// the template's texts.
QString templateWord(const QString &text) {
    return QCoreApplication::translate("ReportTemplate", text.toUtf8().constData());
}

// Trends are drawn by the screen's plot painter, whose pens and labels are
// sized in pixels; at this resolution they come out as on a good screen.
constexpr double kTrendPixelsPerMm = 5.0;
constexpr int kTimeLabelOverhangPx = 6;
constexpr int kStandardLeads = 12;
// The height of the line the ECG page prints its title, speed and gain on.
constexpr double kTitleHeightMm = 3.5;

bool parseLayout(const QString &name, EcgPage::Layout *layout) {
    QString text = name;
    return EcgPage::parseLayout(text.replace(QStringLiteral("by"), QStringLiteral("x")), layout);
}

}  // namespace

struct ReportGraphics::EcgShape {
    EcgPage::Layout layout = EcgPage::Layout::TwelveByOne;
    EcgPaperScale scale;
    double seconds = 10.0;
    std::int64_t first = 0;
    std::vector<int> channels;
    int rhythm = -1;  // index into channels
    double rate = 0.0;
    QSizeF sizeMm;
};

ReportGraphics::ReportGraphics(const Study *study, const QString &defaultLayout, const QString &defaultRhythm,
                               const EventCapture *capture)
    : study_(study), capture_(capture), defaultLayout_(defaultLayout), defaultRhythm_(defaultRhythm) {}

ReportGraphics::~ReportGraphics() = default;

QString ReportGraphics::filterText(bool filtered) {
    return filtered ? QCoreApplication::translate("ReportGraphics", "Filters: baseline, 50 Hz notch, 40 Hz low-pass")
                    : QCoreApplication::translate("ReportGraphics", "Filters: none");
}

QString ReportGraphics::filterText(const EventFilters &filters) {
    QStringList on;
    if (filters.baseline) on << QCoreApplication::translate("ReportGraphics", "baseline");
    if (filters.notch) on << QCoreApplication::translate("ReportGraphics", "50 Hz notch");
    if (filters.muscle) on << QCoreApplication::translate("ReportGraphics", "40 Hz low-pass");
    if (on.isEmpty()) return filterText(false);
    return QCoreApplication::translate("ReportGraphics", "Filters: %1").arg(on.join(QStringLiteral(", ")));
}

bool ReportGraphics::eventIndex(const QString &event, int *index) const {
    if (event == QLatin1String("start")) {
        *index = -1;
        return true;
    }
    bool ok = true;
    *index = event == QLatin1String("last") ? study_->eventCount() - 1 : event.toInt(&ok);
    return ok && *index >= 0 && *index < study_->eventCount();
}

bool ReportGraphics::ecgShape(const TemplateNode &node, const QString &event, double widthMm, EcgShape *shape) const {
    QStringList names;
    double rate = 0.0, available = 0.0;
    if (capture_) {
        // A capture holds the one event it was taken for.
        for (const EcgPageLead &lead : capture_->strip) names << lead.name;
        rate = capture_->rate;
        available = capture_->seconds();
    } else {
        const FileSignal *signal = study_ ? study_->recording() : nullptr;
        int index = -1;
        if (!signal || signal->samplingRate() <= 0 || !eventIndex(event, &index)) return false;
        for (int c = 0; c < std::min(kStandardLeads, signal->channelCount()); ++c) names << signal->channelName(c);
        rate = signal->samplingRate();
        const std::int64_t length = signal->length();
        const double position = index < 0 ? 0.0 : study_->event(index).position;
        shape->first = std::min<std::int64_t>(length, std::llround(position * rate));
        available = static_cast<double>(length - shape->first) / rate;
    }
    if (names.isEmpty() || rate <= 0.0) return false;
    if (!parseLayout(node.attribute(QStringLiteral("layout"), defaultLayout_), &shape->layout))
        throw std::runtime_error(QStringLiteral("Report template error: line %1: unknown ECG layout \"%2\"")
                                     .arg(node.line)
                                     .arg(node.attribute(QStringLiteral("layout")))
                                     .toStdString());
    shape->scale.mmPerSecond = node.number(QStringLiteral("speed"), EcgPaperScale::kStandardSpeed);
    shape->scale.mmPerMillivolt = node.number(QStringLiteral("gain"), EcgPaperScale::kStandardGain);
    if (!EcgPaperScale::isSpeed(shape->scale.mmPerSecond) || !EcgPaperScale::isGain(shape->scale.mmPerMillivolt))
        throw std::runtime_error(QStringLiteral("Report template error: line %1: ECG speed or gain not offered")
                                     .arg(node.line)
                                     .toStdString());
    const int standard = static_cast<int>(names.size());
    // The rhythm lead asked for, else II, else the first lead: a strip of
    // another lead is labelled as such, a missing strip would go unnoticed.
    const QString asked = node.attribute(QStringLiteral("rhythm"), defaultRhythm_);
    int rhythmChannel = -1;
    for (const QString &name : {asked, QStringLiteral("II")})
        for (int c = 0; c < standard && rhythmChannel < 0; ++c)
            if (names[c].compare(name, Qt::CaseInsensitive) == 0) rhythmChannel = c;
    if (rhythmChannel < 0 && standard > 0) rhythmChannel = 0;
    const bool rhythmOnly = node.attribute(QStringLiteral("strip")) == QLatin1String("rhythm");
    QStringList wanted;
    for (const QString &name : node.attribute(QStringLiteral("leads")).split(',', Qt::SkipEmptyParts))
        wanted << name.trimmed().toUpper();
    for (int c = 0; c < standard; ++c) {
        if (rhythmOnly ? c != rhythmChannel : !wanted.isEmpty() && !wanted.contains(names[c].toUpper())) continue;
        if (c == rhythmChannel) shape->rhythm = static_cast<int>(shape->channels.size());
        shape->channels.push_back(c);
    }
    if (rhythmOnly) shape->layout = EcgPage::Layout::TwelveByOne;
    // 4 x 3 carries its rhythm strip below the grid; a rhythm strip of its
    // own is strip="rhythm".
    if (shape->layout != EcgPage::Layout::FourByThree || rhythmOnly || !wanted.isEmpty()) shape->rhythm = -1;
    shape->rate = rate;
    // The strip is never squeezed to fit: at true scale a narrower page
    // shows fewer seconds.
    const double marginsMm = EcgPage::kLeftMarginMm + EcgPage::kRightMarginMm;
    const double fitting = (widthMm - marginsMm) / shape->scale.mmPerSecond;
    shape->seconds = std::min({node.number(QStringLiteral("seconds"), 10.0), fitting, available});
    if (shape->seconds <= 0.0 || shape->channels.empty()) return false;
    EcgPage page(shape->layout, rate, shape->seconds, shape->scale, DisplayColorScheme::byName("Light"));
    if (shape->rhythm >= 0) page.setRhythmLeads({shape->rhythm});
    shape->sizeMm = page.sizeMm(static_cast<int>(shape->channels.size()));
    return true;
}

double ReportGraphics::ecgHeightMm(const TemplateNode &node, const QString &event, double widthMm) const {
    EcgShape shape;
    return ecgShape(node, event, widthMm, &shape) ? shape.sizeMm.height() : 0.0;
}

void ReportGraphics::paintEcg(QPainter &painter, double pixelsPerMm, const QRectF &areaMm, const TemplateNode &node,
                              const QString &event) {
    EcgShape shape;
    if (!ecgShape(node, event, areaMm.width(), &shape)) return;
    const int count = static_cast<int>(std::llround(shape.seconds * shape.rate));
    std::vector<EcgPageLead> leads;
    QString title;
    // Filtered by default, as the review shows the record; filters="none"
    // prints the record as it was acquired. A capture was filtered as asked
    // when it was taken.
    const bool filtered = node.attribute(QStringLiteral("filters"), QStringLiteral("all")) != QLatin1String("none");
    if (capture_) {
        for (int c : shape.channels) {
            leads.push_back(capture_->strip[static_cast<std::size_t>(c)]);
            leads.back().millivolts.resize(static_cast<std::size_t>(count));
        }
        title = capture_->title;
    } else {
        FileSignal &signal = *study_->recording();
        if (filtered && !chain_) {
            chain_ = std::make_unique<ReviewFilterChain>(signal);
            chain_->configure(true, true, true);
        }
        const SignalSource &source = filtered ? chain_->output() : static_cast<const SignalSource &>(signal);
        const int fullScale = EcgDisplayBase::fullScaleForBits(signal.resolutionBits());
        const double mvPerUnit = fullScale > 0 ? signal.amplitudeMax() / fullScale : 0.0;
        for (int c : shape.channels) {
            EcgPageLead lead;
            lead.name = signal.channelName(c);
            lead.millivolts.resize(static_cast<std::size_t>(count));
            source.readRange(c, shape.first, count, lead.millivolts.data());
            for (double &v : lead.millivolts) v *= mvPerUnit;
            leads.push_back(std::move(lead));
        }
        int index = -1;
        eventIndex(event, &index);
        // An event's description is the study's own text; a template's
        // title is a word of the template, printed in the report's language.
        title = index >= 0 ? QString::fromUtf8(study_->event(index).description)
                           : templateWord(node.attribute(QStringLiteral("title")));
    }
    const DisplayColorScheme &scheme = DisplayColorScheme::byName(QStringLiteral("Light"));
    EcgPage page(shape.layout, shape.rate, shape.seconds, shape.scale, scheme);
    if (shape.rhythm >= 0) page.setRhythmLeads({shape.rhythm});
    // The page adds its speed and gain to the title; the filters go before
    // them, as a cardiograph prints them. A long event text is shortened so
    // that filters, speed and gain always stay on the paper.
    const QString filters = capture_ ? filterText(capture_->filters) : filterText(filtered);
    const QString settings = QStringLiteral("%1    %2 mm/s    %3 mm/mV")
                                 .arg(filters)
                                 .arg(shape.scale.mmPerSecond)
                                 .arg(shape.scale.mmPerMillivolt);
    QFont titleFont = painter.font();
    titleFont.setPixelSize(std::max(8, static_cast<int>(std::lround(kTitleHeightMm * pixelsPerMm))));
    titleFont.setBold(true);
    const QFontMetricsF metrics(titleFont, painter.device());
    const double room = (shape.sizeMm.width() - EcgPage::kLeftMarginMm - EcgPage::kRightMarginMm) * pixelsPerMm -
                        metrics.horizontalAdvance(settings + QStringLiteral("        "));
    title = room > 0.0 ? metrics.elidedText(title, Qt::ElideRight, room) : QString();
    page.setTitle((title.isEmpty() ? QString() : title + QStringLiteral("    ")) + filters);
    painter.save();
    painter.translate(areaMm.left() * pixelsPerMm, areaMm.top() * pixelsPerMm);
    page.paint(painter, pixelsPerMm, leads);
    painter.restore();
}

void ReportGraphics::paintTrend(QPainter &painter, double pixelsPerMm, const QRectF &areaMm, const TemplateNode &node,
                                const QString &series) const {
    // Templates name a trend by its name in the study document.
    const std::optional<ResultName> name = ResultName::find(series);
    if (!study_ || !name || name->kind() != ResultKind::Trend || !study_->results().contains(*name)) return;
    const TrendSeries trend(study_->results(), *name);
    TrendPlotLook look;
    double end = study_->protocol() ? study_->protocol()->totalDuration() : 0.0;
    double low = 0.0, high = 0.0;
    for (int i = 0; i < trend.count(); ++i) {
        end = std::max(end, trend.time(i));
        low = i == 0 ? trend.value(i) : std::min(low, trend.value(i));
        high = i == 0 ? trend.value(i) : std::max(high, trend.value(i));
    }
    const double pad = std::max(1e-3, 0.1 * (high - low));
    look.x = {0.0, std::max(60.0, end)};
    look.y = {node.number(QStringLiteral("yMin"), low - pad), node.number(QStringLiteral("yMax"), high + pad)};
    look.timeFormat = QStringLiteral("mm:ss");
    look.title = templateWord(node.attribute(QStringLiteral("title")));
    look.color = QColor(node.attribute(QStringLiteral("color"), QStringLiteral("#c00000")));
    look.style = static_cast<int>(node.number(QStringLiteral("style"), 1));
    const QSize size(static_cast<int>(areaMm.width() * kTrendPixelsPerMm),
                     static_cast<int>(areaMm.height() * kTrendPixelsPerMm));
    if (size.isEmpty()) return;
    // The plot painter sets its time labels a few pixels below the plot's
    // bottom edge, where a widget still shows them; the image keeps that
    // strip so the labels are printed whole.
    QImage image(size + QSize(0, kTimeLabelOverhangPx), QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(static_cast<int>(kTrendPixelsPerMm * 1000.0));
    image.setDotsPerMeterY(static_cast<int>(kTrendPixelsPerMm * 1000.0));
    {
        QPainter imagePainter(&image);
        QFont labels(QStringLiteral("DejaVu Sans"));
        labels.setPointSizeF(5.5);
        TrendPlotPainter(look, labels).paint(imagePainter, size, &trend);
    }
    const QRectF target(areaMm.left() * pixelsPerMm, areaMm.top() * pixelsPerMm, areaMm.width() * pixelsPerMm,
                        image.height() / kTrendPixelsPerMm * pixelsPerMm);
    painter.drawImage(target, image);
}
