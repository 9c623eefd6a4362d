#pragma once
// Draws leads on ECG paper the way a cardiograph prints them: 1 mm and 5 mm
// grid, 25 mm/s, 10 mm/mV, calibration pulses, the 12 leads in four columns
// of three and full-length rhythm strips below.

#include <QImage>
#include <QString>
#include <vector>

struct LeadTrace {
    QString name;
    std::vector<double> millivolts;
};

class EcgPaperPage {
public:
    EcgPaperPage(int samplingRate, double spanSeconds, QString title);
    // `leads` in channel-table order; 12 or more give the standard layout,
    // fewer are drawn one strip each.
    QImage render(const std::vector<LeadTrace> &leads) const;

private:
    struct Strip {
        const LeadTrace *lead;
        double fromSeconds;
        double toSeconds;
    };
    void drawGrid(class QPainter &painter, const QSize &size) const;
    void drawRow(QPainter &painter, double baselineMm, const std::vector<Strip> &strips) const;
    double xForSeconds(double seconds) const;

    int samplingRate_;
    double spanSeconds_;
    QString title_;
};
