#pragma once
// A page of ECG paper as a cardiograph prints it: a header line, the leads
// in 12 x 1, 6 x 2 or 4 x 3 (each column a successive part of the time
// span), optional full-length rhythm strips, and a calibration pulse per row.
// Shared by the command-line render, the simulator's plot and the reports.

#include "ui/DisplayColorScheme.h"
#include "ui/EcgPaperScale.h"

#include <QSizeF>
#include <QString>
#include <vector>

class QPainter;

struct EcgPageLead {
    QString name;
    std::vector<double> millivolts;  // from the page's first sample on
    bool inverted = false;
};

class EcgPage {
public:
    enum class Layout { TwelveByOne, SixByTwo, FourByThree };
    static constexpr double kHeaderMm = 10.0;
    static constexpr double kLeftMarginMm = 15.0;
    static constexpr double kRightMarginMm = 5.0;
    static constexpr double kBottomMarginMm = 5.0;

    // "12x1", "6x2", "4x3"; false for anything else.
    static bool parseLayout(const QString &text, Layout *layout);
    static int columns(Layout layout);

    // `speed` and `gain` are taken from `scale`; its pixels per mm are not
    // used (the device decides them when painting).
    EcgPage(Layout layout, double rate, double seconds, const EcgPaperScale &scale, const DisplayColorScheme &scheme);

    void setTitle(const QString &title) { title_ = title; }
    // Indexes of leads also drawn as full-length strips below the others.
    void setRhythmLeads(const std::vector<int> &leads) { rhythm_ = leads; }

    // The page for `leadCount` leads, in millimetres.
    QSizeF sizeMm(int leadCount) const;
    // Draws the page with its top-left corner at the device's origin.
    void paint(QPainter &painter, double pixelsPerMm, const std::vector<EcgPageLead> &leads) const;

private:
    int gridLeads(int leadCount) const;
    int rowCount(int leadCount) const;
    double rowHeightMm() const;

    Layout layout_;
    double rate_;
    double seconds_;
    EcgPaperScale scale_;
    const DisplayColorScheme &scheme_;
    QString title_;
    std::vector<int> rhythm_;
};
