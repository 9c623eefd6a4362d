#include "tools/sim/DeviceSimSignal.h"

#include "tools/sim/model/EcgSynthesizer.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace {
constexpr double kSyntheticSeconds = 60.0;
}

DeviceSimSignal DeviceSimSignal::fromBytes(const QByteArray &bytes) {
    const int frames = bytes.size() / (2 * kChannels);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * kChannels);
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = qFromLittleEndian<qint16>(data + 2 * i);
    return DeviceSimSignal(std::move(samples));
}

std::optional<DeviceSimSignal> DeviceSimSignal::fromFile(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    DeviceSimSignal signal = fromBytes(file.readAll());
    if (signal.frameCount() == 0) {
        *error = QStringLiteral("%1 holds no whole frame of 14 samples").arg(path);
        return std::nullopt;
    }
    return signal;
}

DeviceSimSignal DeviceSimSignal::synthetic() {
    SimulationConfig config;
    config.seconds = kSyntheticSeconds;
    config.loop = true;
    const EcgSynthesizer synthesizer(config);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString ignored;
    synthesizer.writeRecording(buffer, &ignored);  // a memory buffer does not fail
    return fromBytes(bytes);
}

void DeviceSimSignal::holdLead(int channel, std::int16_t value) {
    heldLead_ = channel;
    heldValue_ = value;
}

DeviceFrame DeviceSimSignal::next() {
    DeviceFrame frame;
    for (int c = 0; c < kChannels; ++c)
        frame[static_cast<std::size_t>(c)] = samples_[position_ + static_cast<std::size_t>(c)];
    position_ += kChannels;
    if (position_ >= samples_.size()) position_ = 0;
    if (heldLead_ >= 0) frame[static_cast<std::size_t>(heldLead_)] = heldValue_;
    return frame;
}
