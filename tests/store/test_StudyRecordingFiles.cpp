#include "StudyTestSupport.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/StudyFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr int kHeader = 4096;

struct StudyRecordingFilesTest : ::testing::Test {
    QTemporaryDir dir;
    QString ecgPath = dir.filePath("s.hxecg");
    QString beatsPath = dir.filePath("s.hxbeats");
};

QByteArray littleEndian16(std::initializer_list<qint16> values) {
    QByteArray bytes;
    for (qint16 v : values) {
        char two[2];
        qToLittleEndian(v, two);
        bytes.append(two, 2);
    }
    return bytes;
}

// A recording file whose header region holds `document` after the magic.
QByteArray ecgFile(const QByteArray &document, const QByteArray &frames = QByteArray(),
                   const QByteArray &magic = "HXECG1") {
    QByteArray header = magic + document;
    header.append(QByteArray(std::max(0, kHeader - header.size()), '\0'));
    return header.left(kHeader) + frames;
}

QByteArray ecgObject(const QJsonObject &ecg) {
    return QJsonDocument(QJsonObject{{"ecg", ecg}}).toJson(QJsonDocument::Compact);
}

QJsonObject validEcg(int channels = 2) {
    QJsonArray names;
    for (int i = 0; i < channels; ++i) names.append(QStringLiteral("C%1").arg(i));
    return QJsonObject{{"sampleFormat", "short"}, {"samplingRate", 500}, {"resolution", 12},
                       {"gainMin", -4.5},         {"gainMax", 4.5},      {"channels", names}};
}

QJsonObject with(QJsonObject object, const char *key, const QJsonValue &value) {
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return object;
}

}  // namespace

TEST_F(StudyRecordingFilesTest, RecordingFileIsMagicHeaderDocumentZerosThenLittleEndianFrames) {
    const std::unique_ptr<Study> study = smallStudy();
    {
        FileSignal recording(ecgPath, 3, 500, FileSignal::StudyHeaderSize, true);
        recording.setChannelNames({"I", "II", "V5"});
        recording.setAmplitudeRange(-5, 5);
        recording.setResolutionBits(12);
        ASSERT_TRUE(recording.writeHeader(StudyFiles::recordingHeader(*study, recording)));
        const qint16 i[] = {1, -2}, ii[] = {300, 32767}, v5[] = {-32768, 0};
        const qint16 *channels[] = {i, ii, v5};
        recording.append(2, channels);
    }
    const QByteArray document = R"({"ecg":{"channels":["I","II","V5"],"gainMax":5,"gainMin":-5,"resolution":12,)"
                                R"("sampleFormat":"short","samplingRate":500},"patient":)" +
                                smallPatientObjectText() + R"(,"study":)" + smallStudyObjectText() + "}";
    const QByteArray expected = "HXECG1" + document + QByteArray(kHeader - 6 - document.size(), '\0') +
                                littleEndian16({1, 300, -32768, -2, 32767, 0});
    EXPECT_EQ(fileBytes(ecgPath), expected);

    const std::unique_ptr<FileSignal> read = StudyFiles::openRecordingFile(ecgPath);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->channelCount(), 3);
    EXPECT_EQ(read->samplingRate(), 500);
    EXPECT_EQ(read->channelNames(), (QStringList{"I", "II", "V5"}));
    EXPECT_EQ(read->amplitudeMin(), -5.0);
    EXPECT_EQ(read->amplitudeMax(), 5.0);
    EXPECT_EQ(read->resolutionBits(), 12);
    EXPECT_EQ(read->length(), 2);
    EXPECT_EQ(read->readSample(0, 1), -2);
    EXPECT_EQ(read->readSample(1, 1), 32767);
    EXPECT_EQ(read->readSample(2, 0), -32768);
}

TEST_F(StudyRecordingFilesTest, HeaderLongerThanItsRegionIsCutAndNeverTouchesTheSamples) {
    FileSignal recording(ecgPath, 1, 250, FileSignal::StudyHeaderSize, true);
    const qint16 samples[] = {7, 8};
    const qint16 *channels[] = {samples};
    recording.append(2, channels);
    const QByteArray longHeader = "HXECG1" + QByteArray(5000, 'h');
    ASSERT_TRUE(recording.writeHeader(longHeader));
    EXPECT_EQ(fileBytes(ecgPath), longHeader.left(kHeader) + littleEndian16({7, 8}));
}

TEST_F(StudyRecordingFilesTest, OverfullStudyTextNeverCostsTheRecordingItsDescription) {
    // Each case: the study's texts and the channel count; what the header
    // still carries of the study.
    const struct {
        const char *name;
        int textLength, channels;
        bool comments, lastName, study;
    } cases[] = {
        {"short texts: everything", 10, 12, true, true, true},
        {"a long comment: short texts only", 5000, 12, false, true, true},
        {"every text at the limit and many channels: the recording alone", 64, 160, false, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Study study(3);
        const std::unique_ptr<Study> full = fullStudy();
        for (const auto &p : full->properties()) study.setProperty(p.first, QByteArray(c.textLength, 'x'));
        study.setProperty("patient/lastName", "Doe");
        for (int i = 0; i < 40; ++i) study.setRiskFactor("factor " + QByteArray::number(i), true, "comment");
        QStringList names;
        for (int i = 0; i < c.channels; ++i) names << QStringLiteral("Channel-%1").arg(i);
        {
            FileSignal recording(ecgPath, c.channels, 1000, FileSignal::StudyHeaderSize, true);
            recording.setChannelNames(names);
            const QByteArray header = StudyFiles::recordingHeader(study, recording);
            EXPECT_LT(header.size(), kHeader);  // leaves a terminating zero
            ASSERT_TRUE(recording.writeHeader(header));
            EXPECT_EQ(header.contains(QByteArray(c.textLength, 'x')), c.comments);
            EXPECT_EQ(header.contains(R"("lastName":"Doe")"), c.lastName);
            EXPECT_EQ(header.contains(R"("study":{)"), c.study);
        }
        const std::unique_ptr<FileSignal> read = StudyFiles::openRecordingFile(ecgPath);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->samplingRate(), 1000);
        EXPECT_EQ(read->channelNames(), names);
    }
}

TEST_F(StudyRecordingFilesTest, RecordingOpensOnlyFromAUsableHeader) {
    const QByteArray frames = littleEndian16({1, 2, 3, 4});
    QByteArray fullRegion = ecgObject(validEcg());
    // A document filling the header region to its last byte, with no zero
    // after it, followed by samples that are not zero.
    fullRegion.insert(fullRegion.size() - 1,
                      R"(,"pad":")" + QByteArray(kHeader - 6 - fullRegion.size() - 9, 'p') + "\"");
    ASSERT_EQ(fullRegion.size(), kHeader - 6);
    QJsonObject wide = validEcg(StudyFiles::kMaxRecordingChannels);
    const struct {
        const char *name;
        QByteArray bytes;
        int channels;
    } cases[] = {
        {"valid", ecgFile(ecgObject(validEcg()), frames), 2},
        {"text after the terminating zero", ecgFile(ecgObject(validEcg()) + '\0' + "garbage", frames), 2},
        {"document filling the region", "HXECG1" + fullRegion + QByteArray(64, '\x31'), 2},
        {"no gains: the range is 0..0",
         ecgFile(ecgObject(with(with(validEcg(), "gainMin", {}), "gainMax", {})), frames), 2},
        {"empty sample format", ecgFile(ecgObject(with(validEcg(), "sampleFormat", ""))), 0},
        {"no sample format", ecgFile(ecgObject(with(validEcg(), "sampleFormat", {}))), 0},
        {"empty channels", ecgFile(ecgObject(with(validEcg(), "channels", QJsonArray()))), 0},
        {"no channels", ecgFile(ecgObject(with(validEcg(), "channels", {}))), 0},
        {"channels not an array", ecgFile(ecgObject(with(validEcg(), "channels", "C0,C1"))), 0},
        {"zero rate", ecgFile(ecgObject(with(validEcg(), "samplingRate", 0))), 0},
        {"negative rate", ecgFile(ecgObject(with(validEcg(), "samplingRate", -500))), 0},
        {"rate as text", ecgFile(ecgObject(with(validEcg(), "samplingRate", "500"))), 0},
        {"zero resolution", ecgFile(ecgObject(with(validEcg(), "resolution", 0))), 0},
        {"most channels", ecgFile(ecgObject(wide)), StudyFiles::kMaxRecordingChannels},
        {"too many channels", ecgFile(ecgObject(with(wide, "channels", wide.value("channels").toArray() + "X"))), 0},
        {"empty ecg", ecgFile(R"({"ecg":{}})"), 0},
        {"no ecg", ecgFile(R"({"study":{"id":1}})"), 0},
        {"empty object", ecgFile("{}"), 0},
        {"no document", ecgFile(""), 0},
        {"not JSON", ecgFile("ecg"), 0},
        {"array", ecgFile("[1]"), 0},
        {"other magic", ecgFile(ecgObject(validEcg()), frames, "HXECG2"), 0},
        {"magic only", "HXECG1", 0},
        {"empty file", "", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(ecgPath, c.bytes);
        const std::unique_ptr<FileSignal> recording = StudyFiles::openRecordingFile(ecgPath);
        ASSERT_EQ(recording ? recording->channelCount() : 0, c.channels);
    }
    EXPECT_FALSE(StudyFiles::openRecordingFile(dir.filePath("missing.hxecg")));
    EXPECT_FALSE(StudyFiles::openRecordingFile(dir.path()));
}

TEST_F(StudyRecordingFilesTest, NamedPipesAreNotWaitedOn) {
    // Opening a pipe for reading would block until someone writes to it.
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_FALSE(StudyFiles::openRecordingFile(pipe));
    EXPECT_FALSE(StudyFiles::openBeatFile(pipe, 2));
    EXPECT_FALSE(StudyFiles::readStudyDocument(pipe));
    EXPECT_FALSE(StudyFiles::readStudyFile(pipe));
}

TEST_F(StudyRecordingFilesTest, SampleCountIsWholeFramesAfterTheHeaderAndRangesArePaddedWithZeros) {
    const struct {
        int dataBytes;
        qint64 samples;
    } sizes[] = {{0, 0}, {1, 0}, {23, 0}, {24, 1}, {2 * 12 * 10 - 1, 9}, {2 * 12 * 10, 10}, {2 * 12 * 10 + 1, 10}};
    QJsonObject twelve = validEcg(12);
    for (const auto &s : sizes) {
        writeFileBytes(ecgPath, ecgFile(ecgObject(twelve), QByteArray(s.dataBytes, '\x01')));
        const std::unique_ptr<FileSignal> recording = StudyFiles::openRecordingFile(ecgPath);
        ASSERT_TRUE(recording);
        EXPECT_EQ(recording->length(), s.samples) << s.dataBytes;
    }
    // A header region cut short holds no samples.
    writeFileBytes(ecgPath, ecgFile(ecgObject(twelve)).left(1000));
    const std::unique_ptr<FileSignal> cut = StudyFiles::openRecordingFile(ecgPath);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->length(), 0);

    // One channel, samples 100..109.
    QByteArray frames;
    for (qint16 v = 100; v < 110; ++v) frames += littleEndian16({v, qint16(-v)});
    writeFileBytes(ecgPath, ecgFile(ecgObject(validEcg(2)), frames));
    const std::unique_ptr<FileSignal> recording = StudyFiles::openRecordingFile(ecgPath);
    ASSERT_TRUE(recording);
    double got[10];
    recording->readRange(0, -5, 10, got);
    EXPECT_EQ(std::vector<double>(got, got + 10), (std::vector<double>{0, 0, 0, 0, 0, 100, 101, 102, 103, 104}));
    recording->readRange(1, 7, 6, got);
    EXPECT_EQ(std::vector<double>(got, got + 6), (std::vector<double>{-107, -108, -109, 0, 0, 0}));
}

TEST_F(StudyRecordingFilesTest, BeatFileIsMagicZerosThenRecordsAndAPastTheEndExclusionDoesNothing) {
    const int length = BeatFile::recordLengthFor(2);
    ASSERT_EQ(length, 56 + 2 * 80);
    const auto record = [&](char fill) { return QByteArray(length, fill); };
    {
        BeatFile beats(beatsPath, 2, BeatFile::StudyHeaderSize, true);
        ASSERT_TRUE(beats.writeHeader(StudyFiles::beatFileHeader()));
        for (char fill : {'a', 'b', 'c'}) beats.append(record(fill));
    }
    const QByteArray expected = "HXBEATS1" + QByteArray(248, '\0') + record('a') + record('b') + record('c');
    EXPECT_EQ(fileBytes(beatsPath), expected);

    const std::unique_ptr<BeatFile> beats = StudyFiles::openBeatFile(beatsPath, 2);
    ASSERT_TRUE(beats);
    EXPECT_EQ(beats->count(), 3);
    QByteArray got;
    ASSERT_TRUE(beats->read(1, got));
    EXPECT_EQ(got, record('b'));
    EXPECT_FALSE(beats->exclude(3));
    EXPECT_EQ(fileBytes(beatsPath), expected);
    EXPECT_TRUE(beats->exclude(2));
    EXPECT_EQ(fileBytes(beatsPath).mid(256 + 2 * length + 48, 4), QByteArray(4, '\xff'));
}

TEST_F(StudyRecordingFilesTest, BeatFileOpensOnlyWithItsMagicAndARecordingsChannelCount) {
    const QByteArray header = "HXBEATS1" + QByteArray(248, '\0');
    const struct {
        const char *name;
        QByteArray bytes;
        int channels;
        qint64 count;
    } cases[] = {
        {"two records of twelve channels", header + QByteArray(2 * (56 + 960) + 7, 'r'), 12, 2},
        {"header only", header, 12, 0},
        {"magic only", "HXBEATS1", 12, 0},
        {"other magic", "HXBEATS2" + header.mid(8), 12, -1},
        {"seven bytes", "HXBEATS", 12, -1},
        {"no channels", header, 0, -1},
        {"too many channels", header, StudyFiles::kMaxRecordingChannels + 1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(beatsPath, c.bytes);
        const std::unique_ptr<BeatFile> beats = StudyFiles::openBeatFile(beatsPath, c.channels);
        EXPECT_EQ(beats ? beats->count() : -1, c.count);
    }
    EXPECT_FALSE(StudyFiles::openBeatFile(dir.filePath("missing.hxbeats"), 12));
}

TEST_F(StudyRecordingFilesTest, StudyFileAttachesTheSignalFilesOfItsOwnBaseName) {
    const QString study = dir.filePath("H1.Doe.hxstudy");
    StudyFiles::writeStudyFile(*smallStudy(), study);
    const QByteArray beats = "HXBEATS1" + QByteArray(248, '\0') + QByteArray(56 + 3 * 80, 'r');
    const struct {
        const char *name;
        QByteArray ecg;
        bool recording, beats;
    } cases[] = {
        {"both", ecgFile(ecgObject(validEcg(3)), littleEndian16({1, 2, 3})), true, true},
        {"no usable recording: beats stay unread too", ecgFile(ecgObject(with(validEcg(3), "channels", {}))), false,
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(dir.filePath("H1.Doe.hxecg"), c.ecg);
        writeFileBytes(dir.filePath("H1.Doe.hxbeats"), beats);
        const std::unique_ptr<Study> read = StudyFiles::readStudyFile(study);
        ASSERT_TRUE(read);
        ASSERT_EQ(read->recording() != nullptr, c.recording);
        ASSERT_EQ(read->beats() != nullptr, c.beats);
        if (c.recording) {
            EXPECT_EQ(read->recording()->path(), dir.filePath("H1.Doe.hxecg"));
            EXPECT_EQ(read->recording()->length(), 1);
        }
        if (c.beats) {
            EXPECT_EQ(read->beats()->count(), 1);
        }
    }
    // Files of another base name are not taken.
    QFile::rename(dir.filePath("H1.Doe.hxecg"), dir.filePath("H1.hxecg"));
    const std::unique_ptr<Study> alone = StudyFiles::readStudyFile(study);
    ASSERT_TRUE(alone);
    EXPECT_EQ(alone->recording(), nullptr);
}
