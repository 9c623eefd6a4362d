#pragma once
// The filters laid over a stored record for review and reports: detrend,
// drift high-pass, and the switchable line notch, muscle-noise and baseline
// filters, each a read-time view of the one before.

#include "analysis/FilteredSignal.h"

#include <QString>
#include <memory>
#include <vector>

class ReviewFilterChain {
public:
    static constexpr int kMaxChannels = 16;

    // Builds the chain with every switch off.
    explicit ReviewFilterChain(SignalSource &record, const QString &notchOption = QStringLiteral("50hz"),
                               const QString &muscleOption = QStringLiteral("40hz"));
    ~ReviewFilterChain();

    // Tears the chain down and builds it anew. Throws std::runtime_error
    // ("pendiente - filtro no definido") for a notch option with no filter at
    // the record's rate; the chain is then empty and output() is the record.
    void configure(bool notch, bool muscle, bool baseline);

    SignalSource &output() const;
    bool isConfigured() const { return configured_; }
    int stageCount() const { return static_cast<int>(stages_.size()); }

    static const char *const kUndefinedFilterError;

private:
    FilteredSignal &addStage(std::unique_ptr<BlockFilter> filter);
    void addDetrend();
    void clear();

    SignalSource &record_;
    QString notchOption_;
    QString muscleOption_;
    std::vector<std::unique_ptr<FilteredSignal>> stages_;
    bool configured_ = false;
};
