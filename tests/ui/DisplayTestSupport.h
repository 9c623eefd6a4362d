#pragma once
// A signal fed to a display the way the engine feeds it: in 20 ms blocks
// of a function of channel and sample index (in millivolts), each block
// followed by a refresh.

#include "analysis/ChannelTable.h"
#include "analysis/SignalBuffer.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <cmath>
#include <functional>
#include <vector>

namespace DisplayTest {

constexpr int kRate = 500;
constexpr double kRangeMv = 300.0;
// The calibration the monitor window gives a 16-bit device: 2^15 - 2.
constexpr double kUnitsPerMv = 32766.0 / kRangeMv;

struct Feed {
    explicit Feed(int channels) : buffer(4096, 81920, channels, kRate) {
        buffer.setAmplitudeRange(-kRangeMv, kRangeMv);
        buffer.setResolutionBits(16);
        for (int c = 0; c < channels; ++c) buffer.setChannelName(c, ChannelTable::name(c));
    }
    // Appends `count` samples in blocks of `block`, calling `afterBlock`.
    void append(const std::function<double(int, std::int64_t)> &mv, std::int64_t count,
                const std::function<void()> &afterBlock, int block = kRate / 50) {
        const int channels = buffer.channelCount();
        std::vector<std::vector<std::int16_t>> data(static_cast<std::size_t>(channels));
        std::vector<const std::int16_t *> rows(static_cast<std::size_t>(channels));
        for (std::int64_t done = 0; done < count;) {
            const int n = static_cast<int>(std::min<std::int64_t>(block, count - done));
            for (int c = 0; c < channels; ++c) {
                auto &d = data[static_cast<std::size_t>(c)];
                d.resize(static_cast<std::size_t>(n));
                for (int j = 0; j < n; ++j)
                    d[static_cast<std::size_t>(j)] =
                        static_cast<std::int16_t>(std::lround(mv(c, buffer.length() + j) * kUnitsPerMv));
                rows[static_cast<std::size_t>(c)] = d.data();
            }
            buffer.append(n, rows.data());
            done += n;
            if (afterBlock) afterBlock();
        }
    }
    SignalBuffer buffer;
};

// The widget as drawn; also saved as NAME.png into the folder named by
// TARVELIN_TEST_IMAGES, when set, to look at after a failure.
inline QImage grab(QWidget &widget, const QString &name = QString()) {
    QImage image(widget.size(), QImage::Format_RGB32);
    widget.render(&image);
    const QString folder = qEnvironmentVariable("TARVELIN_TEST_IMAGES");
    if (!folder.isEmpty() && !name.isEmpty()) image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    return image;
}

}  // namespace DisplayTest
