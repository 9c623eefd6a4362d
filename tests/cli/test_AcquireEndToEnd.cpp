// `tarvelin-ecg-cli acquire` against the simulated front end: the real
// driver and link device over a pseudo-terminal, checked against the
// simulator's record of what it sent.

#include "CliTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <array>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

using Frame = std::array<qint16, 14>;
enum Lead { I, II, III, aVR, aVL, aVF, V1, V2, V3, V4, V5, V6, CM5, CR5 };

// Runs `tarvelin-ecg-sim device` with a link in a temporary folder.
class SimulatedDevice {
public:
    SimulatedDevice(const QString &link, const QStringList &options) {
        process_.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
                       QStringList{QStringLiteral("device"), QStringLiteral("--link"), link} + options);
        process_.waitForStarted(10000);
        while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
        ready_ = QFileInfo(link).isSymLink();
    }
    ~SimulatedDevice() { stop(); }
    bool isReady() const { return ready_; }
    // Ends the simulator so its record is complete.
    void stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
    bool ready_ = false;
};

std::vector<Frame> readFrames(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    std::vector<Frame> frames(static_cast<std::size_t>(bytes.size() / 28));
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    for (std::size_t f = 0; f < frames.size(); ++f)
        for (std::size_t c = 0; c < 14; ++c) frames[f][c] = qFromLittleEndian<qint16>(data + (f * 14 + c) * 2);
    return frames;
}

QMap<QString, QString> summary(const QString &output) {
    QMap<QString, QString> values;
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int colon = line.indexOf(QLatin1String(": "));
        if (colon > 0) values[line.left(colon)] = line.mid(colon + 2);
    }
    return values;
}

// What the host should have recorded from packets `first`, `first + 1`, ...
// of the simulator's record: on the HR link each frame averages two packets
// (arithmetic shift, rounding down); on the standard link the leads that
// depend on an electrode that is off arrive as zeros.
Frame expectedFrame(const std::vector<Frame> &sent, std::size_t first, std::size_t frame, bool highRate,
                    const std::set<int> &zeroed) {
    if (highRate) {
        const Frame &a = sent[first + 2 * frame];
        const Frame &b = sent[first + 2 * frame + 1];
        Frame averaged;
        for (std::size_t c = 0; c < 14; ++c) averaged[c] = static_cast<qint16>((a[c] + b[c]) >> 1);
        return averaged;
    }
    Frame copy = sent[first + frame];
    for (int c : zeroed) copy[static_cast<std::size_t>(c)] = 0;
    return copy;
}

TEST(AcquireEndToEnd, RecordsWhatTheDeviceSentAndReportsItsState) {
    struct Case {
        const char *name;
        QStringList simOptions;
        bool highRate;
        const char *battery;
        const char *electrodesOff;
        const char *saturated;
        std::set<int> zeroed;
    };
    const Case cases[] = {
        {"standard link, healthy", {}, false, "3.00 V", "none", "none", {}},
        {"standard link, faults",
         {"--battery", "2.6", "--electrode-off", "LA", "V3", "--saturate", "V2"},
         false,
         "2.60 V",
         "LA, V3",
         "V2",
         {I, III, aVR, aVL, aVF, V3}},
        // The HR link neither tracks saturation nor zeroes leads.
        {"HR link, faults",
         {"--hr-protocol", "--battery", "2.2", "--electrode-off", "RA", "--saturate", "V2"},
         true,
         "2.20 V",
         "RA",
         "none",
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString link = folder.filePath(QStringLiteral("ecg"));
        const QString sentPath = folder.filePath(QStringLiteral("sent.bin"));
        const QString outPath = folder.filePath(QStringLiteral("out.dat"));
        SimulatedDevice device(link, c.simOptions + QStringList{QStringLiteral("--sent"), sentPath});
        ASSERT_TRUE(device.isReady());

        // Eight seconds, so the last tenth of a second that a loaded machine
        // may still hold in transit when the window closes stays well inside
        // the 2 % the check allows a healthy link.
        QStringList arguments{"acquire", "--port", link, "--seconds", "8", "--out", outPath};
        if (c.highRate) arguments << QStringLiteral("--hr-protocol");
        const CliTest::ToolRun run = CliTest::runTool(arguments);
        device.stop();
        ASSERT_EQ(run.exitCode, 0) << run.standardError.toStdString();

        const QMap<QString, QString> values = summary(run.standardOutput);
        const int frames = values.value(QStringLiteral("frames")).toInt();
        EXPECT_GE(frames, 3680);
        EXPECT_LE(frames, 4160);
        const double rate = values.value(QStringLiteral("rate")).section(QLatin1Char(' '), 0, 0).toDouble();
        EXPECT_NEAR(rate, 500.0, 25.0) << run.standardOutput.toStdString();
        EXPECT_EQ(values.value(QStringLiteral("battery")).toStdString(), c.battery);
        EXPECT_EQ(values.value(QStringLiteral("electrodes off")).toStdString(), c.electrodesOff);
        EXPECT_EQ(values.value(QStringLiteral("saturated")).toStdString(), c.saturated);
        EXPECT_EQ(values.value(QStringLiteral("device errors")).toStdString(), "0");
        EXPECT_EQ(values.value(QStringLiteral("expected frames")).toStdString(), "4000");
        EXPECT_GE(values.value(QStringLiteral("received")).section(QLatin1Char(' '), 0, 0).toDouble(), 98.0);
        EXPECT_EQ(values.value(QStringLiteral("resynchronisations")).toStdString(), "0");
        EXPECT_EQ(values.value(QStringLiteral("bytes discarded")).toStdString(), "0");
        EXPECT_LT(values.value(QStringLiteral("longest gap without data")).section(QLatin1Char(' '), 0, 0).toDouble(),
                  1.0);
        ASSERT_EQ(QFileInfo(outPath).size(), static_cast<qint64>(frames) * 28);

        // The first packets go while the link synchronises: find where the
        // recording starts in what was sent, then every sample must agree.
        const std::vector<Frame> recorded = readFrames(outPath);
        const std::vector<Frame> sent = readFrames(sentPath);
        const std::size_t packetsPerFrame = c.highRate ? 2 : 1;
        ASSERT_GE(sent.size(), recorded.size() * packetsPerFrame);
        std::size_t first = 0;
        bool found = false;
        for (; !found && first + recorded.size() * packetsPerFrame <= sent.size(); ++first) {
            found = true;
            for (std::size_t f = 0; found && f < 20; ++f)
                found = expectedFrame(sent, first, f, c.highRate, c.zeroed) == recorded[f];
        }
        ASSERT_TRUE(found) << "the recording does not start anywhere in what was sent";
        --first;
        std::size_t mismatches = 0;
        for (std::size_t f = 0; f < recorded.size(); ++f)
            if (expectedFrame(sent, first, f, c.highRate, c.zeroed) != recorded[f]) ++mismatches;
        EXPECT_EQ(mismatches, 0u) << "of " << recorded.size() << " frames, recording starts at packet " << first;
    }
}

// A device that falls silent, or whose bytes are damaged on the way, must
// not pass the check: what was lost is reported and a recording short of
// 98 % of the frames asked for fails it.
TEST(AcquireEndToEnd, ReportsWhatTheLinkLost) {
    struct Case {
        const char *name;
        QStringList simOptions;
        bool silent;
    };
    const Case cases[] = {
        {"silent after 2 of 6 s", {"--silent-after", "2"}, true},
        {"300 damaged bytes a second", {"--corrupt", "300"}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString link = folder.filePath(QStringLiteral("ecg"));
        const QString outPath = folder.filePath(QStringLiteral("out.dat"));
        SimulatedDevice device(link, c.simOptions);
        ASSERT_TRUE(device.isReady());
        const CliTest::ToolRun run = CliTest::runTool({"acquire", "--port", link, "--seconds", "6", "--out", outPath});
        device.stop();
        const QMap<QString, QString> values = summary(run.standardOutput);
        const int frames = values.value(QStringLiteral("frames")).toInt();
        EXPECT_EQ(values.value(QStringLiteral("expected frames")).toStdString(), "3000");
        const double received = values.value(QStringLiteral("received")).section(QLatin1Char(' '), 0, 0).toDouble();
        // "N in S s, M expected": the link's own count over the window.
        const QStringList counted = values.value(QStringLiteral("link frames")).split(QLatin1Char(' '));
        ASSERT_EQ(counted.size(), 6) << run.standardOutput.toStdString();
        EXPECT_NEAR(counted[2].toDouble(), 6.0, 1.0);
        EXPECT_NEAR(received, 100.0 * counted[0].toDouble() / counted[4].toDouble(), 0.1);
        EXPECT_EQ(run.exitCode, received < 98.0 ? 1 : 0) << run.standardError.toStdString();
        const double gap =
            values.value(QStringLiteral("longest gap without data")).section(QLatin1Char(' '), 0, 0).toDouble();
        const qint64 resynchronisations = values.value(QStringLiteral("resynchronisations")).toLongLong();
        const qint64 discarded = values.value(QStringLiteral("bytes discarded")).toLongLong();
        if (c.silent) {
            EXPECT_LT(frames, 1300);
            EXPECT_LT(received, 45.0);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.standardError.contains(QLatin1String("of the expected frames arrived")))
                << run.standardError.toStdString();
            EXPECT_GT(gap, 3.5) << run.standardOutput.toStdString();
            EXPECT_EQ(resynchronisations, 0);
        } else {
            // About one damaged byte in seven is a framing byte, and each
            // costs its packet: at 300 a second, a few dozen resynchronisations
            // at the least, each discarding at least the broken packet's start.
            EXPECT_GT(resynchronisations, 20) << run.standardOutput.toStdString();
            EXPECT_LT(received, 98.0) << "each resynchronisation costs at least one packet";
            EXPECT_GE(discarded, resynchronisations);
            EXPECT_LT(gap, 1.0);
        }
        // What did arrive is kept, whole frames only.
        EXPECT_EQ(QFileInfo(outPath).size(), static_cast<qint64>(frames) * 28);
    }
}

TEST(AcquireEndToEnd, AFullDiskFailsTheRecording) {
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("ecg"));
    SimulatedDevice device(link, {});
    ASSERT_TRUE(device.isReady());
    const CliTest::ToolRun run =
        CliTest::runTool({"acquire", "--port", link, "--seconds", "1", "--out", QStringLiteral("/dev/full")});
    device.stop();
    EXPECT_EQ(run.exitCode, 1) << run.standardOutput.toStdString();
    EXPECT_TRUE(run.standardError.contains(QLatin1String("No space left on device")))
        << run.standardError.toStdString();
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()) << "the device was replaced by a file";
}

TEST(AcquireEndToEnd, FailsWithoutADeviceOrWithBadArguments) {
    QTemporaryDir folder;
    const QString out = folder.filePath(QStringLiteral("out.dat"));
    struct Case {
        QStringList arguments;
        int exitCode;
    };
    const Case cases[] = {
        {{"acquire"}, 2},
        {{"acquire", "--port", "/dev/null"}, 2},
        {{"acquire", "--out", out}, 2},
        {{"acquire", "--port", "/dev/null", "--out", out, "--seconds", "0"}, 2},
        {{"acquire", "--port", "/dev/null", "--out", out, "--seconds", "ten"}, 2},
        {{"acquire", "--port", "/dev/null", "--out", out, "--baud", "9600"}, 2},
        {{"acquire", "--port", folder.filePath(QStringLiteral("absent")), "--out", out, "--seconds", "1"}, 1},
    };
    for (const Case &c : cases) {
        const CliTest::ToolRun run = CliTest::runTool(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(QLatin1Char(' ')).toStdString() << "\n"
                                            << run.standardError.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << "a file was left without a recording in it";
    }
}

}  // namespace
