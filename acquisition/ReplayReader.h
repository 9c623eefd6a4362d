#pragma once
// The reader thread of the demonstration replay: plays a recording frame by
// frame into the source's byte queue, looping endlessly, paced so the
// long-run rate equals the recording's rate.

#include <QFile>
#include <QThread>
#include <atomic>
#include <cstdint>

class ByteFifo;
class Sleeper;

struct ReplayFormat {
    int channelsInFile = 14;
    int samplingRate = 500;
    int bytesPerSample = 2;
    qint64 dataOffset = 0;
    std::int32_t channelMask = -1;
};

class ReplayReader : public QThread {
    Q_OBJECT
public:
    // `file` must be open for reading; the reader keeps it open until destroyed.
    ReplayReader(QFile &file, const ReplayFormat &format, ByteFifo &fifo, Sleeper &sleeper);
    ~ReplayReader() override;

    // True once the file could no longer yield a whole frame (it shrank under
    // us); the reader then ends instead of spinning on an empty read.
    bool failed() const { return failed_.load(); }
    void clearFailure() { failed_ = false; }

protected:
    void run() override;

private:
    bool readFrame(char *frame, int frameBytes);
    int keepMaskedSamples(const char *frame, char *kept) const;

    QFile &file_;
    ReplayFormat format_;
    ByteFifo &fifo_;
    Sleeper &sleeper_;
    std::atomic<bool> failed_{false};
};
