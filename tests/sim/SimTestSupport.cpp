#include "SimTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTextStream>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace SimTest {

ToolRun runTool(const QStringList &arguments, bool withLeakCheck) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!withLeakCheck) environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), arguments);
    ToolRun run;
    if (!process.waitForFinished(180000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        run.standardError = QStringLiteral("tool did not finish normally");
        return run;
    }
    run.exitCode = process.exitCode();
    run.standardError = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString record(const QString &folder, const QStringList &options, const QString &name) {
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".dat");
    const ToolRun run = runTool(QStringList{QStringLiteral("record"), QStringLiteral("--out"), path} + options);
    EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
    return path;
}

QString truthPathOf(const QString &recordingPath) {
    QString path = recordingPath;
    path.chop(4);  // ".dat"
    return path + QStringLiteral(".truth.csv");
}

Recording readRecording(const QString &path, int rate) {
    Recording recording;
    recording.rate = rate;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return recording;
    }
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size() % (2 * kChannels), 0) << "partial frame in " << path.toStdString();
    recording.samples.resize(static_cast<std::size_t>(bytes.size() / 2));
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    for (std::size_t i = 0; i < recording.samples.size(); ++i)
        recording.samples[i] = qFromLittleEndian<qint16>(data + 2 * i);
    return recording;
}

std::vector<TruthBeat> readTruth(const QString &path) {
    std::vector<TruthBeat> beats;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return beats;
    }
    QTextStream stream(&file);
    const QString header = stream.readLine();
    EXPECT_EQ(header, QStringLiteral("sample,type,rr_s,st_I,st_II,st_III,st_aVR,st_aVL,st_aVF,st_V1,st_V2,st_V3,st_V4,"
                                     "st_V5,st_V6,st_CM5,st_CR5"));
    while (!stream.atEnd()) {
        const QStringList fields = stream.readLine().split(QLatin1Char(','));
        if (fields.size() != 3 + kChannels) {
            ADD_FAILURE() << "truth row with " << fields.size() << " fields";
            return beats;
        }
        TruthBeat beat;
        bool ok = true;
        beat.sample = fields[0].toLongLong(&ok);
        EXPECT_TRUE(ok);
        beat.type = fields[1].size() == 1 ? fields[1][0].toLatin1() : '?';
        beat.rr = fields[2].toDouble(&ok);
        EXPECT_TRUE(ok);
        for (int lead = 0; lead < kChannels; ++lead) {
            beat.st[static_cast<std::size_t>(lead)] = fields[3 + lead].toDouble(&ok);
            EXPECT_TRUE(ok);
        }
        beats.push_back(beat);
    }
    return beats;
}

namespace {
// Summed absolute slope of the 12 standard leads, in sample units.
double spatialVelocity(const Recording &r, std::int64_t frame) {
    double sum = 0.0;
    for (int lead = 0; lead < 12; ++lead) sum += std::abs(r.raw(frame + 1, lead) - r.raw(frame - 1, lead));
    return sum;
}

// First frame, walking from `from` in `direction`, after which the velocity
// stays below `threshold` for `quiet` frames.
std::int64_t findQuiet(const Recording &r, std::int64_t from, int direction, double threshold, int quiet) {
    for (std::int64_t frame = from; frame > quiet && frame < r.frames() - quiet - 1; frame += direction) {
        bool still = true;
        for (int k = 0; k < quiet && still; ++k) still = spatialVelocity(r, frame + direction * k) < threshold;
        if (still) return frame;
    }
    return from;
}

double mean(const Recording &r, std::int64_t first, std::int64_t last, int lead) {
    double sum = 0.0;
    for (std::int64_t f = first; f <= last; ++f) sum += r.mv(f, lead);
    return sum / static_cast<double>(last - first + 1);
}
}  // namespace

double measureSt(const Recording &r, std::int64_t rSample, int lead) {
    const auto ms = [&](double milliseconds) {
        return static_cast<std::int64_t>(std::lround(milliseconds * r.rate / 1000.0));
    };
    double peakVelocity = 0.0;
    for (std::int64_t f = rSample - ms(60); f <= rSample + ms(60); ++f)
        peakVelocity = std::max(peakVelocity, spatialVelocity(r, f));
    const double threshold = 0.03 * peakVelocity;
    const std::int64_t onset = findQuiet(r, rSample, -1, threshold, static_cast<int>(ms(8)));
    const std::int64_t jPoint = findQuiet(r, rSample, +1, threshold, static_cast<int>(ms(8)));
    const double prLevel = mean(r, onset - ms(20), onset - ms(10), lead);
    const std::int64_t at = jPoint + ms(80);
    return mean(r, at - 1, at + 1, lead) - prLevel;
}

double rAmplitude(const Recording &r, std::int64_t rSample, int lead) {
    const std::int64_t span = 40 * r.rate / 1000;
    double best = -1e9;
    for (std::int64_t f = rSample - span; f <= rSample + span; ++f) best = std::max(best, r.mv(f, lead));
    return best;
}

}  // namespace SimTest
