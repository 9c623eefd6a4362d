#include "ui/RecordAverageBeats.h"

#include "analysis/SignalSource.h"
#include "analysis/StMeasurement.h"

RecordAverageBeats::RecordAverageBeats(const SignalSource &signal, std::vector<BeatRecord> beats, double unitMv,
                                       Leads leads)
    : signal_(signal), beats_(std::move(beats)), unitMv_(unitMv), builder_(&signal) {
    builder_.setBuildLeadsOnDemand(leads == Leads::OnDemand);
}

void RecordAverageBeats::setTimeWindow(double start, double end) {
    if (start == start_ && end == end_) return;
    start_ = start;
    end_ = end;
    builder_.reset(true);
    for (const BeatRecord &beat : beats_)
        if (beat.valid && beat.fiducialTime() >= start && beat.fiducialTime() <= end) builder_.addBeat(beat);
    ++revision_;
}

bool RecordAverageBeats::view(int channel, AverageBeatView *out) {
    if (channel < 0 || channel >= builder_.leadCount() || builder_.beatCount() == 0) return false;
    *out = AverageBeatView{};
    out->rate = signal_.samplingRate();
    const std::vector<double> &average = builder_.average(channel);
    for (double v : average) out->current.push_back(v * unitMv_);
    const StMeasurement st = measureSt(average, signal_.samplingRate(), builder_.meanRr(), unitMv_);
    out->stValid = st.valid;
    out->isoelectric = st.isoelectric;
    out->j = st.j;
    out->st = st.st;
    out->levelMv = st.level;
    out->slopeMvPerSecond = st.slope;
    return true;
}
