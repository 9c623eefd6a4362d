#include "store/EchoScoring.h"

namespace {

// The stored documents name segments by these keys, so their spelling and
// order are fixed.
const char *const kSegmentKeys[EchoScoring::kSegments] = {
    "BasalAnteroSeptum", "MidAnteroSeptum", "BasalSeptum",    "MidSeptum",     "ApicalSeptum", "BasalInferior",
    "MidInferior",       "ApicalInferior",  "BasalPosterior", "MidPosterior",  "BasalLateral", "MidLateral",
    "ApicalLateral",     "BasalAnterior",   "MidAnterior",    "ApicalAnterior"};

}  // namespace

QByteArray EchoScoring::segmentKey(int index) {
    if (index < 1 || index > kSegments) return QByteArray();
    return QByteArray(kSegmentKeys[index - 1]);
}

int EchoScoring::segmentIndex(const QByteArray &key) {
    for (int i = 0; i < kSegments; ++i)
        if (key == kSegmentKeys[i]) return i + 1;
    return 0;
}
