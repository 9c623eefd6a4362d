#include "tools/sim/DeviceSimSentLog.h"

#include <QtEndian>
#include <algorithm>

namespace {
std::int16_t clamped(int value) { return static_cast<std::int16_t>(std::clamp(value, -32768, 32767)); }
}  // namespace

DeviceFrame DeviceSimSentLog::decodedFrame(const DeviceFrame &sent) {
    DeviceFrame frame = sent;
    const int leadI = sent[0];
    const int leadII = sent[1];
    const int leadIII = sent[2];
    // C++ division truncates toward zero, as the link prescribes.
    frame[3] = clamped(-(leadI + leadII) / 2);
    frame[4] = clamped((leadI - leadIII) / 2);
    frame[5] = clamped((leadII + leadIII) / 2);
    return frame;
}

bool DeviceSimSentLog::open(const QString &path, QString *error) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file_.errorString());
        return false;
    }
    return true;
}

void DeviceSimSentLog::append(const DeviceFrame &sent) {
    if (!file_.isOpen()) return;
    const DeviceFrame frame = decodedFrame(sent);
    char bytes[2 * 14];
    for (std::size_t c = 0; c < frame.size(); ++c) qToLittleEndian<qint16>(frame[c], bytes + 2 * c);
    if (file_.write(bytes, sizeof bytes) != static_cast<qint64>(sizeof bytes)) failed_ = true;
}

bool DeviceSimSentLog::close(QString *error) {
    if (!file_.isOpen()) return true;
    const bool flushed = file_.flush();
    if (failed_ || !flushed)
        *error = QStringLiteral("writing %1 failed: %2").arg(file_.fileName(), file_.errorString());
    file_.close();
    return !failed_ && flushed;
}
