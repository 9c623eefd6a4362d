#pragma once
// The trend column of the stress review: heart rate, blood pressure, double
// product, ST level of the chosen lead and METS over the whole recording,
// each with a free cursor that follows the review's position. A tilt test
// shows only heart rate and blood pressure.

#include <QString>
#include <memory>
#include <vector>

class PlotSeries;
class PressurePairSeries;
class QPlotGraphic;
class StudyResults;
class TrendSeries;

class ReviewTrendPlots {
public:
    struct Plots {
        QPlotGraphic *hr, *bp, *dp, *st, *mets;
    };

    // The results must outlive this object; `durationSeconds` is the
    // recorded duration, the horizontal range of every plot.
    ReviewTrendPlots(const Plots &plots, const StudyResults &results, double durationSeconds, bool tiltTest);
    ~ReviewTrendPlots();

    // Refills the ST trend and its title "ST [name]".
    void setStLead(int lead, const QString &name);
    int stLead() const { return stLead_; }
    void setCursorTime(double seconds);
    // The plots shown, top to bottom.
    std::vector<QPlotGraphic *> shown() const;

private:
    Plots plots_;
    const StudyResults &results_;
    bool tiltTest_;
    int stLead_ = -1;
    std::unique_ptr<TrendSeries> hr_, dp_, st_, mets_;
    std::unique_ptr<PressurePairSeries> bp_;
    std::unique_ptr<PlotSeries> dpThousands_;
};
