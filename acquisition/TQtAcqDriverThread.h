#pragma once
// The acquisition worker: pulls whole frames out of the source's queue,
// applies the mute switches and hands each block to the user-interface
// thread through a queued signal.

#include <QString>
#include <QThread>
#include <QVector>
#include <atomic>

class AcqDevice;
class Sleeper;

class TQtAcqDriverThread : public QThread {
    Q_OBJECT
public:
    // `mute` holds one byte per channel (`muteCount` of them), owned by the driver.
    TQtAcqDriverThread(AcqDevice &device, const std::atomic<unsigned char> *mute, int muteCount,
                       Sleeper *sleeper = nullptr, QObject *parent = nullptr);
    ~TQtAcqDriverThread() override;

    void requestReset() { resetRequested_ = true; }
    // The text of the failure that ended the run; read only while handling `error`.
    QString errorText() const { return errorText_; }

    static constexpr int kPollIntervalMs = 10;

Q_SIGNALS:
    void data(QVector<char> dataBlock);
    void pacemaker(int sampleOffset);
    void error();

protected:
    void run() override;

private:
    void acquire();
    void stopDeviceQuietly();
    void muteChannels(char *block, int frames, int frameBytes) const;

    AcqDevice &device_;
    const std::atomic<unsigned char> *mute_;
    int muteCount_;
    Sleeper &sleeper_;
    std::atomic<bool> resetRequested_{false};
    QString errorText_;
};
