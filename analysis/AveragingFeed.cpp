#include "analysis/AveragingFeed.h"

FirTable AveragingFeed::filterFor(int rate) {
    const QString option = QStringLiteral("40hz");
    if (rate == 250 || rate == 500) return *FirTables::muscle(option, rate);
    return *FirTables::muscle(option, 1000);
}

AveragingFeed::AveragingFeed(SignalSource &raw)
    : output_(std::make_unique<SignalBuffer>(raw.blockSize(), kCapacityBlocks * raw.blockSize(), raw.channelCount(),
                                             raw.samplingRate())) {
    output_->copyMetadataFrom(raw);
    stage_ = std::make_unique<FirStage>(raw, *output_, filterFor(raw.samplingRate()));
}

AveragingFeed::~AveragingFeed() = default;
