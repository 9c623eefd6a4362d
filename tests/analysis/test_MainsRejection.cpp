// A synthetic recording with 50 Hz mains interference through the live and
// the review chains with the line notch on: the mains component must fall
// below 2 % of its input level while the QRS amplitude in II stays within 5 %.

#include "FilterTestSupport.h"
#include "analysis/MonitorFeeds.h"
#include "analysis/ReviewFilterChain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int kChannels = 14;
constexpr int kLeadII = 1;
constexpr int kRate = 500;

struct Recording {
    std::vector<qint16> frames;  // interleaved
    std::vector<std::int64_t> beats;
    std::int64_t length() const { return static_cast<std::int64_t>(frames.size()) / kChannels; }
};

// The same recording (same seed) with or without mains pick-up.
Recording simulate(const QTemporaryDir &dir, bool withMains) {
    const QString name = withMains ? "mains" : "clean";
    const QString out = QDir(dir.path()).filePath(name + ".dat");
    const QString truth = QDir(dir.path()).filePath(name + ".truth.csv");
    QProcess sim;
    sim.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
              {"record", "--out", out, "--truth", truth, "--rate", "500", "--seconds", "60", "--hr", "72", "--noise",
               "low", "--mains", withMains ? "50" : "off", "--mains-mv", "0.3", "--seed", "7"});
    EXPECT_TRUE(sim.waitForFinished(60000));
    EXPECT_EQ(sim.exitCode(), 0) << sim.readAllStandardError().toStdString();

    Recording r;
    QFile data(out);
    EXPECT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray bytes = data.readAll();
    r.frames.resize(static_cast<std::size_t>(bytes.size() / 2));
    for (std::size_t i = 0; i < r.frames.size(); ++i)
        r.frames[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);

    QFile csv(truth);
    EXPECT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream lines(&csv);
    lines.readLine();  // header
    while (!lines.atEnd()) {
        const QStringList fields = lines.readLine().split(',');
        if (fields.size() > 1 && fields[1] == "N") r.beats.push_back(fields[0].toLongLong());
    }
    return r;
}

std::unique_ptr<SignalBuffer> asRecord(const Recording &r) {
    auto record = std::make_unique<SignalBuffer>(4096, static_cast<int>(r.length()) + 1, kChannels, kRate);
    record->appendInterleaved16(reinterpret_cast<const char *>(r.frames.data()), static_cast<int>(r.frames.size() * 2));
    return record;
}

// Mean R height above the PR segment (median of 100..60 ms before R) over
// the beats inside [first, last).
double meanQrsHeight(const SignalSource &s, const std::vector<std::int64_t> &beats, std::int64_t first,
                     std::int64_t last) {
    double sum = 0;
    int n = 0;
    std::vector<double> pr(20);
    for (std::int64_t r : beats) {
        if (r < first || r >= last) continue;
        s.readRange(kLeadII, r - 50, 20, pr.data());
        std::nth_element(pr.begin(), pr.begin() + 10, pr.end());
        double peak = -1e9;
        for (std::int64_t k = r - 5; k <= r + 5; ++k)
            peak = std::max(peak, static_cast<double>(s.readSample(kLeadII, k)));
        sum += peak - pr[10];
        ++n;
    }
    EXPECT_GT(n, 20);
    return sum / n;
}

// `in` carries the mains, `clean` is the same recording without it (the QRS
// reference, free of the mains that would bias a peak search), `out` is `in`
// through a chain.
void expectMainsRejected(const SignalSource &in, const SignalSource &clean, const SignalSource &out,
                         const std::vector<std::int64_t> &beats, std::int64_t first, std::int64_t last) {
    const int span = static_cast<int>((last - first) / 500 * 500);  // whole seconds: whole 50 Hz periods
    const double mainsIn = amplitudeAt(in, kLeadII, first, span, 50.0);
    const double mainsOut = amplitudeAt(out, kLeadII, first, span, 50.0);
    ASSERT_GT(mainsIn, 2.0) << "the recording must carry mains interference";
    EXPECT_LT(mainsOut, 0.02 * mainsIn) << "50 Hz in " << mainsIn << " out " << mainsOut;

    const double qrsIn = meanQrsHeight(clean, beats, first, last);
    const double qrsOut = meanQrsHeight(out, beats, first, last);
    EXPECT_NEAR(qrsOut / qrsIn, 1.0, 0.05) << "QRS in " << qrsIn << " out " << qrsOut;
    std::printf("50 Hz %.2f -> %.3f units (%.2f %%), QRS in II %.1f -> %.1f units (%.2f %%)\n", mainsIn, mainsOut,
                100 * mainsOut / mainsIn, qrsIn, qrsOut, 100 * (qrsOut / qrsIn - 1));
}

}  // namespace

TEST(MainsRejection, LiveChainWithTheNotch) {
    QTemporaryDir dir;
    const Recording r = simulate(dir, true);
    ASSERT_EQ(r.length(), 60 * kRate);
    auto input = asRecord(r);
    auto clean = asRecord(simulate(dir, false));

    auto raw = MonitorFeeds::createRawBuffer(kChannels, kRate);
    MonitorFeeds feeds(*raw);
    feeds.configureLiveChain(true, false, false);
    const int block = 50;
    for (std::int64_t f = 0; f + block <= r.length(); f += block) {
        raw->appendInterleaved16(reinterpret_cast<const char *>(r.frames.data() + f * kChannels),
                                 block * kChannels * 2);
        feeds.process();
    }
    // The chain's output is aligned with its input and lags it by the stage
    // delays (750 + 97 samples); compare where both exist and have settled.
    expectMainsRejected(*input, *clean, feeds.liveOutput(), r.beats, 10 * kRate, 55 * kRate);
}

TEST(MainsRejection, ReviewChainWithTheNotch) {
    QTemporaryDir dir;
    const Recording r = simulate(dir, true);
    auto record = asRecord(r);
    auto clean = asRecord(simulate(dir, false));
    ReviewFilterChain chain(*record);
    chain.configure(true, false, false);
    expectMainsRejected(*record, *clean, chain.output(), r.beats, 10 * kRate, 55 * kRate);
}
