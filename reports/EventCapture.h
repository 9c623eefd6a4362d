#pragma once
// What an event report shows of a study's signal, copied out of the study
// while it is being recorded into, so the report can be drawn on another
// thread without touching the study: the 12-lead strip around the event and
// every lead's average beat with its reference and ST measurement.

#include "ui/AverageBeatView.h"
#include "ui/EcgPage.h"

#include <QString>
#include <cstdint>
#include <vector>

class FileSignal;
class Study;

// The filters the operator had switched on (the strip is filtered as the
// screen showed it).
struct EventFilters {
    bool notch = true;
    bool muscle = true;
    bool baseline = true;
};

struct EventCapture {
    struct LeadBeat {
        QString name;
        AverageBeatView view;
    };

    double rate = 0.0;
    // Seconds of recording at the strip's first sample.
    double start = 0.0;
    std::vector<EcgPageLead> strip;  // mV, every lead the same length
    QString title;
    EventFilters filters;         // what the strip was filtered with
    std::vector<LeadBeat> beats;  // empty when average beats are not printed

    double seconds() const { return strip.empty() || rate <= 0.0 ? 0.0 : strip.front().millivolts.size() / rate; }

    // Copies `seconds` of the standard leads from the event's position on;
    // an event closer than that to the end of what has been recorded (a
    // stage that has just ended) gets the last `seconds` recorded instead.
    // `beats`, when given, supplies every lead's average beat (its channel
    // index is the lead's). Throws std::out_of_range for an unknown event.
    static EventCapture take(const Study &study, int eventIndex, const EventFilters &filters, double seconds,
                             AverageBeatProvider *beats);

    // `count` samples from `first` of each of `channels` of a recording in
    // mV, through the review filters with `filters` switched on.
    static std::vector<EcgPageLead> readLeads(FileSignal &signal, const std::vector<int> &channels, std::int64_t first,
                                              int count, const EventFilters &filters);
};
