#include "ui/EngineAverageBeats.h"

#include "analysis/BeatAnalysisPath.h"
#include "stress/MonitorEngine.h"

long long EngineAverageBeats::revision() {
    // Every emitted beat may change the averages and the ST values.
    return engine_.beatAnalysis().beats().count();
}

bool EngineAverageBeats::view(int channel, AverageBeatView *out) {
    AverageBeatBuilder &averages = engine_.beatAnalysis().averages();
    if (!averages.source() || channel < 0 || channel >= averages.leadCount() || averages.beatCount() == 0) return false;
    // The averages are in sample units of the device signal.
    const double unit = engine_.raw().unitValue();
    *out = AverageBeatView{};
    out->rate = averages.source()->samplingRate();
    for (double v : averages.average(channel)) out->current.push_back(v * unit);
    for (double v : averages.reference(channel)) out->reference.push_back(v * unit);
    const MonitorEngine::StView st = engine_.stView(channel);
    out->stValid = st.valid;
    out->isoelectric = st.isoelectric;
    out->j = st.j;
    out->st = st.st;
    out->levelMv = st.levelMv;
    out->slopeMvPerSecond = st.slopeMvPerSecond;
    return true;
}
