#pragma once
// The study's graphics a report places: ECG strips of an event at true
// scale through the ECG page painter, and trends through the trend plot
// painter. Reads the study's recording through the review filter chain.

#include "ui/AverageBeatView.h"

#include <QRectF>
#include <QString>
#include <memory>

class QPainter;
class ReviewFilterChain;
class StressAverageBeats;
struct EventCapture;
struct EventFilters;
class Study;
struct TemplateNode;

class ReportGraphics {
public:
    // `study` may be null: graphics then take no room and draw nothing.
    // `defaultLayout` ("12by1", "6by2", "4by3") and `defaultRhythm` serve
    // ECG blocks that do not name their own. With `capture` (which must
    // outlive this object) ECG and average-beat blocks draw the captured
    // event and never read the study.
    ReportGraphics(const Study *study, const QString &defaultLayout, const QString &defaultRhythm,
                   const EventCapture *capture = nullptr);
    ~ReportGraphics();

    // What the strips' title says of their filters: filters="all" or "none".
    static QString filterText(bool filtered);
    // The same for an event strip captured with some filters switched on.
    static QString filterText(const EventFilters &filters);

    // Height in mm of an ECG block `widthMm` wide showing event `event`
    // ("last", an index, or "start": the recording from its first sample);
    // 0 when the study has no such event or no signal.
    double ecgHeightMm(const TemplateNode &node, const QString &event, double widthMm) const;
    void paintEcg(QPainter &painter, double pixelsPerMm, const QRectF &areaMm, const TemplateNode &node,
                  const QString &event);

    // Height in mm of an average-beat block `widthMm` wide; 0 without beats.
    // The moment "event" is the captured event's beats over their references.
    double averageBeatsHeightMm(const TemplateNode &node, double widthMm);
    void paintAverageBeats(QPainter &painter, double pixelsPerMm, const QRectF &areaMm, const TemplateNode &node,
                           const QString &moment);

    void paintTrend(QPainter &painter, double pixelsPerMm, const QRectF &areaMm, const TemplateNode &node,
                    const QString &series) const;

private:
    struct EcgShape;
    bool ecgShape(const TemplateNode &node, const QString &event, double widthMm, EcgShape *shape) const;
    // The event's index, -1 for "start"; false for no such event.
    bool eventIndex(const QString &event, int *index) const;
    // The leads an average-beat block shows, and the beats of one of them.
    int averageLeadCount();
    QString averageLeadName(int k);
    bool averageBeat(const QString &moment, int k, AverageBeatView *rest, bool *haveRest, AverageBeatView *shown);

    const Study *study_;
    const EventCapture *capture_;
    QString defaultLayout_;
    QString defaultRhythm_;
    std::unique_ptr<ReviewFilterChain> chain_;
    std::unique_ptr<StressAverageBeats> averages_;
};
