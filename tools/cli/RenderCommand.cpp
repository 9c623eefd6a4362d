#include "tools/cli/RenderCommand.h"

#include "analysis/ReviewFilterChain.h"
#include "analysis/SignalBuffer.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RenderOptions.h"
#include "ui/EcgPageOutput.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace RenderCommand {
namespace {

constexpr int kBlockSize = 4096;

// The recording as a signal the review chain can lie over. The last block
// is completed by repeating the final frame: the chain reads whole blocks,
// and a flat continuation disturbs the filters less than a step to zero.
std::unique_ptr<SignalBuffer> toSignal(const Recording &recording) {
    const std::int64_t length = recording.length();
    const std::int64_t padded = (length + kBlockSize - 1) / kBlockSize * kBlockSize;
    auto signal =
        std::make_unique<SignalBuffer>(kBlockSize, static_cast<int>(std::max<std::int64_t>(padded, kBlockSize)),
                                       ChannelTable::kChannelCount, recording.rate);
    signal->setAmplitudeRange(-Recording::kRangeMv, Recording::kRangeMv);
    signal->setResolutionBits(Recording::kResolutionBits);
    for (int c = 0; c < ChannelTable::kChannelCount; ++c) signal->setChannelName(c, ChannelTable::name(c));
    std::vector<std::vector<std::int16_t>> channels(ChannelTable::kChannelCount);
    std::vector<const std::int16_t *> pointers;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c) {
        std::vector<std::int16_t> &samples = channels[static_cast<std::size_t>(c)];
        samples = recording.hasChannel(c) ? recording.samples[static_cast<std::size_t>(c)]
                                          : std::vector<std::int16_t>(static_cast<std::size_t>(length), 0);
        samples.resize(static_cast<std::size_t>(padded), samples.empty() ? 0 : samples.back());
        pointers.push_back(samples.data());
    }
    signal->append(static_cast<int>(padded), pointers.data());
    return signal;
}

}  // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    const RenderOptions options = RenderOptions::parse(arguments);
    if (options.helpRequested) {
        out << RenderOptions::helpText();
        return 0;
    }
    if (!options.error.isEmpty()) {
        err << "tarvelin-ecg-cli render: " << options.error << "\nTry 'tarvelin-ecg-cli render --help'.\n";
        return 2;
    }

    LoadedInput loaded;
    QString error;
    if (!InputLoader::load(options.input, &loaded, &error)) {
        err << "tarvelin-ecg-cli render: " << error << "\n";
        return 1;
    }
    for (const QString &warning : loaded.warnings) err << "tarvelin-ecg-cli render: warning: " << warning << "\n";
    auto samePlace = [](const QString &a, const QString &b) {
        return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
    };
    for (const QString &file : loaded.files)
        if (samePlace(file, options.outPath)) {
            err << "tarvelin-ecg-cli render: --out names an input file\n";
            return 2;
        }
    const Recording &recording = loaded.recording;
    const std::int64_t first = std::llround(options.from * recording.rate);
    if (first >= recording.length()) {
        err << QStringLiteral("tarvelin-ecg-cli render: the recording holds only %1 s, nothing to draw from %2 s\n")
                   .arg(recording.seconds(), 0, 'f', 3)
                   .arg(options.from);
        return 1;
    }
    const int count = static_cast<int>(
        std::min<std::int64_t>(std::llround(options.seconds * recording.rate), recording.length() - first));

    std::unique_ptr<SignalBuffer> signal = toSignal(recording);
    std::unique_ptr<ReviewFilterChain> chain;
    const SignalSource *source = signal.get();
    if (options.filtered) {
        chain = std::make_unique<ReviewFilterChain>(*signal);
        try {
            chain->configure(options.notch, options.muscle, options.baseline);
        } catch (const std::runtime_error &e) {
            err << "tarvelin-ecg-cli render: " << e.what() << "\n";
            return 1;
        }
        source = &chain->output();
    }

    std::vector<EcgPageLead> leads;
    std::vector<int> rhythm;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c) {
        if (!recording.hasChannel(c)) continue;
        EcgPageLead lead;
        lead.name = ChannelTable::name(c);
        lead.millivolts.resize(static_cast<std::size_t>(count));
        source->readRange(c, first, count, lead.millivolts.data());
        for (double &v : lead.millivolts) v *= Recording::kMillivoltsPerUnit;
        if (lead.name == QLatin1String("II")) rhythm.push_back(static_cast<int>(leads.size()));
        leads.push_back(std::move(lead));
    }

    EcgPaperScale scale;
    scale.mmPerSecond = options.speed;
    scale.mmPerMillivolt = options.gain;
    EcgPage page(options.layout, recording.rate, options.seconds, scale, DisplayColorScheme::byName(options.scheme));
    if (options.layout == EcgPage::Layout::FourByThree) page.setRhythmLeads(rhythm);
    page.setTitle(QStringLiteral("%1    from %2 s").arg(QFileInfo(recording.source).fileName()).arg(options.from));
    try {
        if (options.format == RenderOptions::Format::Pdf)
            EcgPageOutput::writePdf(page, leads, options.outPath);
        else
            EcgPageOutput::writePng(page, leads, options.dpi, options.outPath);
    } catch (const std::runtime_error &e) {
        err << "tarvelin-ecg-cli render: " << e.what() << ": " << options.outPath << "\n";
        return 1;
    }
    return 0;
}

}  // namespace RenderCommand
