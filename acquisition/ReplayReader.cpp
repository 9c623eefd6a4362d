#include "acquisition/ReplayReader.h"

#include "acquisition/ByteFifo.h"
#include "acquisition/Sleeper.h"

#include <vector>

ReplayReader::ReplayReader(QFile &file, const ReplayFormat &format, ByteFifo &fifo, Sleeper &sleeper)
    : file_(file), format_(format), fifo_(fifo), sleeper_(sleeper) {}

ReplayReader::~ReplayReader() {
    requestInterruption();
    wait();
}

bool ReplayReader::readFrame(char *frame, int frameBytes) {
    if (file_.read(frame, frameBytes) == frameBytes) return true;
    // End of the recording: loop to the first frame. A trailing partial
    // frame is never played.
    if (!file_.seek(format_.dataOffset)) return false;
    return file_.read(frame, frameBytes) == frameBytes;
}

int ReplayReader::keepMaskedSamples(const char *frame, char *kept) const {
    if (format_.bytesPerSample != 2) return 0;
    int n = 0;
    const auto mask = static_cast<std::uint32_t>(format_.channelMask);
    for (int c = 0; c < format_.channelsInFile; ++c) {
        if (c < 32 && ((mask >> c) & 1u)) {
            kept[n++] = frame[2 * c];
            kept[n++] = frame[2 * c + 1];
        }
    }
    return n;
}

void ReplayReader::run() {
    const int frameBytes = format_.channelsInFile * format_.bytesPerSample;
    if (frameBytes <= 0 || !file_.seek(format_.dataOffset)) {
        failed_ = true;
        return;
    }
    const double bytesPerSecond =
        static_cast<double>(format_.samplingRate) * format_.channelsInFile * format_.bytesPerSample;
    std::vector<char> frame(static_cast<std::size_t>(frameBytes));
    std::vector<char> kept(static_cast<std::size_t>(frameBytes));
    qint64 bytesDelivered = 0;
    double slept = 0.0;

    while (!isInterruptionRequested()) {
        if (!readFrame(frame.data(), frameBytes)) {
            failed_ = true;
            return;
        }
        const int keptBytes = keepMaskedSamples(frame.data(), kept.data());
        fifo_.append(kept.data(), keptBytes);

        // Sleep by the recording time delivered, not by elapsed time, so the
        // long-run rate stays the recording's rate whatever the read costs.
        // Only whole milliseconds are slept and only those are counted: the
        // truncated remainder carries into the next sleep instead of being
        // lost, which would otherwise play up to 4 % fast.
        bytesDelivered += frameBytes;
        const double t = static_cast<double>(bytesDelivered) / bytesPerSecond;
        if (t > slept + 0.025) {
            const int ms = static_cast<int>((t - slept) * 1000.0);
            sleeper_.sleepMs(ms);
            slept += ms / 1000.0;
        }
    }
}
