// Resting 12-lead records of the Lobachevsky University database against the
// cardiologists' wave limits: QRS detection over the annotated part, the last
// beat of every record, and the global intervals of the average beat beside
// those of the single measurement lead (lead II), both against the reference
// folded the same way (per beat the earliest onset and the latest offset over
// the 12 leads, then the median over the annotated beats). The limits are
// those of the standard for electrocardiographs, as mean / SD of the
// differences in ms: P 10/15, PR 10/10, QRS 6/10, QT 12/30.

#include "BeatMatching.h"
#include "CliTestSupport.h"
#include "analysis/BeatAnalysisPath.h"
#include "analysis/GlobalMeasurement.h"
#include "analysis/MonitorFeeds.h"
#include "analysis/RestingMeasurement.h"
#include "tools/cli/AnnotationReader.h"
#include "tools/cli/BeatsRun.h"
#include "tools/cli/InputLoader.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

// MIT annotation codes of the wave annotations.
constexpr int kWaveOn = 39, kWaveOff = 40, kPWave = 24, kTWave = 27, kNormal = 1;
const char *const kLeadFiles[] = {"i", "ii", "iii", "avr", "avl", "avf", "v1", "v2", "v3", "v4", "v5", "v6"};

struct Wave {
    int type;  // kPWave, kNormal (QRS) or kTWave
    std::int64_t on, peak, off;
};

std::vector<Wave> readWaves(const QString &path) {
    std::vector<Annotation> a;
    QString error;
    EXPECT_TRUE(AnnotationReader::read(path, &a, &error)) << error.toStdString();
    std::vector<Wave> waves;
    for (std::size_t i = 0; i + 2 < a.size(); ++i)
        if (a[i].code == kWaveOn && a[i + 2].code == kWaveOff &&
            (a[i + 1].code == kPWave || a[i + 1].code == kTWave || a[i + 1].code == kNormal))
            waves.push_back({a[i + 1].code, a[i].sample, a[i + 1].sample, a[i + 2].sample});
    return waves;
}

// The reference intervals of one record in ms: medians over its beats of the
// per-beat global intervals. Beats are anchored on lead II's QRS peaks.
struct Intervals {
    std::optional<double> p, pr, qrs, qt;
};

std::optional<double> median(std::vector<double> v) {
    if (v.empty()) return std::nullopt;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

Intervals referenceIntervals(const std::vector<std::vector<Wave>> &leads, const std::vector<std::int64_t> &anchors,
                             double rate) {
    std::vector<double> p, pr, qrs, qt;
    const auto ms = [rate](std::int64_t samples) { return 1000.0 * static_cast<double>(samples) / rate; };
    for (std::size_t b = 0; b < anchors.size(); ++b) {
        const std::int64_t r = anchors[b];
        // A beat's P lies after the previous QRS, its T before the next one.
        const std::int64_t previous = b > 0 ? anchors[b - 1] : r - static_cast<std::int64_t>(0.45 * rate);
        const std::int64_t next = b + 1 < anchors.size() ? anchors[b + 1] : r + static_cast<std::int64_t>(0.7 * rate);
        std::optional<std::int64_t> pOn, pOff, qOn, qOff, tOff;
        for (const std::vector<Wave> &waves : leads) {
            for (const Wave &w : waves) {
                const std::int64_t d = w.peak - r;
                if (w.type == kNormal && std::llabs(d) <= 0.1 * rate) {
                    qOn = std::min(qOn.value_or(w.on), w.on);
                    qOff = std::max(qOff.value_or(w.off), w.off);
                } else if (w.type == kPWave && d < 0 && w.peak > previous && d > -0.45 * rate) {
                    pOn = std::min(pOn.value_or(w.on), w.on);
                    pOff = std::max(pOff.value_or(w.off), w.off);
                } else if (w.type == kTWave && d > 0 && w.peak < next && d < 0.7 * rate) {
                    tOff = std::max(tOff.value_or(w.off), w.off);
                }
            }
        }
        if (!qOn) continue;
        qrs.push_back(ms(*qOff - *qOn));
        if (pOn) p.push_back(ms(*pOff - *pOn)), pr.push_back(ms(*qOn - *pOn));
        if (tOff) qt.push_back(ms(*tOff - *qOn));
    }
    return {median(p), median(pr), median(qrs), median(qt)};
}

// The beat analysis path over a whole record, fed as the engine feeds it.
struct Analysed {
    std::vector<BeatRecord> beats;
    std::vector<std::vector<double>> averages;
    std::vector<QString> names;
    double meanRr = 0.0;
    int rate = 0;
};

struct Collect : BeatListener {
    std::vector<BeatRecord> beats;
    void beatEmitted(const BeatRecord &beat) override { beats.push_back(beat); }
};

Analysed analyse(const Recording &recording) {
    Analysed out;
    std::vector<int> channels;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c)
        if (recording.hasChannel(c)) channels.push_back(c);
    const int count = static_cast<int>(channels.size());
    auto raw = MonitorFeeds::createRawBuffer(count, recording.rate);
    raw->setAmplitudeRange(-Recording::kRangeMv, Recording::kRangeMv);
    for (int k = 0; k < count; ++k) {
        out.names.push_back(ChannelTable::name(channels[static_cast<std::size_t>(k)]));
        raw->setChannelName(k, out.names.back());
    }
    MonitorFeeds feeds(*raw, false);
    BeatAnalysisPath path(feeds.analysisFeed(), *raw);
    Collect collect;
    path.addBeatListener(&collect);
    path.start();
    const int block = recording.rate / 10;
    std::vector<const std::int16_t *> rows(static_cast<std::size_t>(count));
    for (std::int64_t first = 0; first < recording.length(); first += block) {
        const int n = static_cast<int>(std::min<std::int64_t>(block, recording.length() - first));
        for (int k = 0; k < count; ++k)
            rows[static_cast<std::size_t>(k)] =
                recording.samples[static_cast<std::size_t>(channels[static_cast<std::size_t>(k)])].data() + first;
        raw->append(n, rows.data());
        feeds.process();
        path.process();
    }
    path.finish();
    path.removeBeatListener(&collect);
    out.beats = collect.beats;
    for (int k = 0; k < count; ++k) out.averages.push_back(path.averages().average(k));
    out.meanRr = path.averages().meanRr();
    out.rate = recording.rate;
    return out;
}

// The single measurement lead's intervals in ms (lead II).
Intervals leadIntervals(const Analysed &a) {
    const auto it = std::find(a.names.begin(), a.names.end(), QStringLiteral("II"));
    if (it == a.names.end()) return {};
    const std::vector<double> &x = a.averages[static_cast<std::size_t>(it - a.names.begin())];
    const RestingMarkers m = measureRest(x, a.rate, a.rate * 3 / 10, a.meanRr * a.rate);
    const auto ms = [&](int from, int to) -> std::optional<double> {
        if (from <= 0 || to <= 0) return std::nullopt;
        return 1000.0 * (to - from) / a.rate;
    };
    return {ms(m.pOnset, m.pEnd), ms(m.pOnset, m.qrsOnset), ms(m.qrsOnset, m.qrsEnd), ms(m.qrsOnset, m.tEnd)};
}

Intervals globalIntervals(const GlobalMeasurement &g) {
    const auto ms = [](const std::optional<double> &s) -> std::optional<double> {
        return s ? std::optional<double>(1000.0 * *s) : std::nullopt;
    };
    return {ms(g.pDuration), ms(g.pr), ms(g.qrsDuration), ms(g.qt)};
}

struct Differences {
    std::vector<double> d;
    int unmeasured = 0;
    void add(const std::optional<double> &measured, const std::optional<double> &reference) {
        if (!reference) return;
        if (!measured) {
            ++unmeasured;
            return;
        }
        d.push_back(*measured - *reference);
    }
    double mean() const {
        double s = 0.0;
        for (double v : d) s += v;
        return d.empty() ? 0.0 : s / static_cast<double>(d.size());
    }
    double sd() const {
        if (d.size() < 2) return 0.0;
        const double m = mean();
        double s = 0.0;
        for (double v : d) s += (v - m) * (v - m);
        return std::sqrt(s / static_cast<double>(d.size() - 1));
    }
};

struct Table {
    Differences p, pr, qrs, qt;
    void add(const Intervals &measured, const Intervals &reference) {
        p.add(measured.p, reference.p);
        pr.add(measured.pr, reference.pr);
        qrs.add(measured.qrs, reference.qrs);
        qt.add(measured.qt, reference.qt);
    }
};

QStringList ludbRecords(QString *folder) {
    const QString list = CliTest::sharedData("ludb/RECORDS");
    if (list.isEmpty()) return {};
    *folder = QFileInfo(list).absolutePath();
    QFile file(list);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

TEST(LudbAccuracy, DetectionGlobalIntervalsAndTheLastBeat) {
    QString folder;
    const QStringList records = ludbRecords(&folder);
    CLI_SKIP_WITHOUT(folder);
    ASSERT_EQ(records.size(), 28);

    Table global, single;
    BeatMatch total;
    int inventedP = 0;
    std::printf("record  ref P/PR/QRS/QT ms        global P/PR/QRS/QT ms      lead II P/PR/QRS/QT ms    extra QRS\n");
    for (const QString &name : records) {
        const QString record = QDir(folder).filePath(name.trimmed());
        BeatsOptions options = BeatsOptions::parse({"--wfdb", record});
        ASSERT_TRUE(options.error.isEmpty()) << options.error.toStdString();
        LoadedInput input;
        QString error;
        ASSERT_TRUE(InputLoader::load(options, &input, &error)) << error.toStdString();
        ASSERT_EQ(input.recording.presentChannels().size(), 12) << name.toStdString();
        const double rate = input.recording.inputRate;
        ASSERT_EQ(static_cast<int>(rate), input.recording.rate);

        std::vector<std::vector<Wave>> leads;
        for (const char *lead : kLeadFiles) leads.push_back(readWaves(record + '.' + lead));
        std::vector<std::int64_t> anchors;
        for (const Wave &w : leads[1])
            if (w.type == kNormal) anchors.push_back(w.peak);
        ASSERT_FALSE(anchors.empty()) << name.toStdString();

        // Beats and the global measurement as the command-line tool reports
        // them; the averages again for the single lead's own measurement.
        Collect reported;
        RestingMeasurements summary;
        runBeatAnalysis(input.recording, reported, summary);
        const Analysed a = analyse(input.recording);
        // Detection over the annotated stretch: from the first annotated QRS
        // to the last, widened by the matching tolerance.
        const std::int64_t from = anchors.front() - std::llround(0.150 * rate);
        const std::int64_t to = anchors.back() + std::llround(0.150 * rate);
        std::vector<std::int64_t> detected;
        for (const BeatRecord &beat : reported.beats) {
            const std::int64_t s = std::llround(beat.fiducialTime() * rate);
            if (s >= from && s <= to) detected.push_back(s);
        }
        const BeatMatch m = matchBeats(anchors, detected, std::llround(0.150 * rate));
        total.truePositives += m.truePositives;
        total.falsePositives += m.falsePositives;
        total.falseNegatives += m.falseNegatives;
        EXPECT_EQ(m.falseNegatives, 0) << "record " << name.toStdString();

        // The last QRS of the record (the last annotated one, or one after
        // it when the signal holds it whole) is reported.
        ASSERT_FALSE(reported.beats.empty());
        const BeatRecord &last = reported.beats.back();
        EXPECT_GE(std::llround(last.fiducialTime() * rate), anchors.back() - std::llround(0.15 * rate))
            << "record " << name.toStdString();
        // No whole beat is missing after the last one reported: the record
        // ends within an interval of it (irregular rhythms allowed for).
        EXPECT_LT(input.recording.seconds() - last.fiducialTime(), 1.3 * last.rr() + 0.1)
            << "record " << name.toStdString();

        const Intervals reference = referenceIntervals(leads, anchors, rate);
        const Intervals measured = globalIntervals(summary.global);
        const Intervals lead = leadIntervals(a);
        global.add(measured, reference);
        // No P where the cardiologists saw none (atrial fibrillation).
        if (!reference.p && measured.p) ++inventedP;
        single.add(lead, reference);
        const auto f = [](const std::optional<double> &v) { return v ? *v : -1.0; };
        std::printf("%-6s  %4.0f %4.0f %4.0f %4.0f     %4.0f %4.0f %4.0f %4.0f     %4.0f %4.0f %4.0f %4.0f   %d\n",
                    qPrintable(name), f(reference.p), f(reference.pr), f(reference.qrs), f(reference.qt), f(measured.p),
                    f(measured.pr), f(measured.qrs), f(measured.qt), f(lead.p), f(lead.pr), f(lead.qrs), f(lead.qt),
                    m.falsePositives);
    }
    std::printf("QRS detection, annotated part: TP %d FN %d FP %d, Se %.2f %% +P %.2f %%\n", total.truePositives,
                total.falseNegatives, total.falsePositives, 100 * total.sensitivity(),
                100 * total.positivePredictivity());
    EXPECT_GE(total.sensitivity(), 0.995);
    EXPECT_GE(total.positivePredictivity(), 0.995);
    EXPECT_EQ(inventedP, 0);

    struct Row {
        const char *what;
        const Differences &global, &single;
        double meanLimit, sdLimit;
    };
    const Row rows[] = {{"P duration", global.p, single.p, 10, 15},
                        {"PR", global.pr, single.pr, 10, 10},
                        {"QRS", global.qrs, single.qrs, 6, 10},
                        {"QT", global.qt, single.qt, 12, 30}};
    std::printf("interval    limit mean/SD   global mean/SD (n, unmeasured)   lead II mean/SD (n, unmeasured)\n");
    for (const Row &r : rows) {
        std::printf("%-10s  %5.0f/%-5.0f     %6.1f/%-5.1f (%zu, %d)            %6.1f/%-5.1f (%zu, %d)\n", r.what,
                    r.meanLimit, r.sdLimit, r.global.mean(), r.global.sd(), r.global.d.size(), r.global.unmeasured,
                    r.single.mean(), r.single.sd(), r.single.d.size(), r.single.unmeasured);
        EXPECT_LE(std::fabs(r.global.mean()), r.meanLimit) << r.what;
        EXPECT_LE(r.global.sd(), r.sdLimit) << r.what;
        EXPECT_EQ(r.global.unmeasured, 0) << r.what;
    }
}
