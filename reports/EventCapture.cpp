#include "reports/EventCapture.h"

#include "acquisition/FileSignal.h"
#include "analysis/ReviewFilterChain.h"
#include "store/Study.h"
#include "ui/EcgDisplayBase.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {
constexpr int kStandardLeads = 12;
}

EventCapture EventCapture::take(const Study &study, int eventIndex, const EventFilters &filters, double seconds,
                                AverageBeatProvider *beats) {
    if (eventIndex < 0 || eventIndex >= study.eventCount()) throw std::out_of_range("no such event");
    const StudyEvent &event = study.event(eventIndex);
    EventCapture capture;
    capture.title = QString::fromUtf8(event.description);
    capture.filters = filters;
    FileSignal *signal = study.recording();
    if (!signal || signal->samplingRate() <= 0) return capture;
    capture.rate = signal->samplingRate();
    const int channels = std::min(kStandardLeads, signal->channelCount());
    const std::int64_t length = signal->length();
    const std::int64_t wanted = std::llround(std::max(0.0, seconds) * capture.rate);
    const std::int64_t position = std::llround(std::max(0.0, event.position) * capture.rate);
    const std::int64_t first = std::max<std::int64_t>(0, std::min(position, length - wanted));
    const int count = static_cast<int>(std::min(wanted, length - first));
    capture.start = static_cast<double>(first) / capture.rate;

    std::vector<int> standard;
    for (int c = 0; c < channels; ++c) standard.push_back(c);
    if (count > 0) capture.strip = readLeads(*signal, standard, first, count, filters);
    for (int c = 0; beats && c < channels; ++c) {
        LeadBeat beat;
        beat.name = signal->channelName(c);
        if (beats->view(c, &beat.view)) capture.beats.push_back(std::move(beat));
    }
    return capture;
}

std::vector<EcgPageLead> EventCapture::readLeads(FileSignal &signal, const std::vector<int> &channels,
                                                 std::int64_t first, int count, const EventFilters &filters) {
    ReviewFilterChain chain(signal);
    chain.configure(filters.notch, filters.muscle, filters.baseline);
    const int fullScale = EcgDisplayBase::fullScaleForBits(signal.resolutionBits());
    const double mvPerUnit = fullScale > 0 ? signal.amplitudeMax() / fullScale : 0.0;
    std::vector<EcgPageLead> leads;
    for (int c : channels) {
        EcgPageLead lead;
        lead.name = signal.channelName(c);
        lead.millivolts.resize(static_cast<std::size_t>(std::max(0, count)));
        chain.output().readRange(c, first, count, lead.millivolts.data());
        for (double &v : lead.millivolts) v *= mvPerUnit;
        leads.push_back(std::move(lead));
    }
    return leads;
}
