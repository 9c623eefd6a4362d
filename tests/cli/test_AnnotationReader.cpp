// Reference annotations: times accumulate across long skips and
// pseudo-annotations, the fields they set land on the right annotation, and
// the reference record's beat count comes out.

#include "CliTestSupport.h"

#include "tools/cli/AnnotationReader.h"

#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <vector>

namespace {

// One 16-bit word of the file: code in the top 6 bits, field in the low 10.
QByteArray word(int code, int field) {
    const int value = (code << 10) | (field & 0x3FF);
    return CliTest::bytes({value & 0xFF, value >> 8});
}
QByteArray rawWord(int value) { return CliTest::bytes({value & 0xFF, (value >> 8) & 0xFF}); }
const QByteArray kEnd = word(0, 0);

struct Expected {
    std::int64_t sample;
    int code;
    int subtype;
    int channel;
    int number;
    const char *aux;
};

struct AnnotationCase {
    const char *label;
    QByteArray file;
    std::vector<Expected> annotations;
};

void PrintTo(const AnnotationCase &c, std::ostream *os) { *os << c.label; }

class DecodedAnnotations : public ::testing::TestWithParam<AnnotationCase> {};

TEST_P(DecodedAnnotations, GiveTimesCodesAndFields) {
    std::vector<Annotation> annotations;
    QString error;
    ASSERT_TRUE(AnnotationReader::decode(GetParam().file, &annotations, &error)) << error.toStdString();
    const std::vector<Expected> &expected = GetParam().annotations;
    ASSERT_EQ(annotations.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(annotations[i].sample, expected[i].sample);
        EXPECT_EQ(annotations[i].code, expected[i].code);
        EXPECT_EQ(annotations[i].subtype, expected[i].subtype);
        EXPECT_EQ(annotations[i].channel, expected[i].channel);
        EXPECT_EQ(annotations[i].number, expected[i].number);
        EXPECT_EQ(annotations[i].aux, QByteArray(expected[i].aux));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mit, DecodedAnnotations,
    ::testing::Values(AnnotationCase{"TimesAccumulate",
                                     word(1, 10) + word(5, 15) + word(1, 1023) + kEnd,
                                     {{10, 1, 0, 0, 0, ""}, {25, 5, 0, 0, 0, ""}, {1048, 1, 0, 0, 0, ""}}},
                      // The 32-bit interval is stored most significant half first.
                      AnnotationCase{"SkipAddsALongInterval",
                                     word(1, 3) + word(59, 0) + rawWord(0x0001) + rawWord(0x0002) + word(1, 5) + kEnd,
                                     {{3, 1, 0, 0, 0, ""}, {3 + 65538 + 5, 1, 0, 0, 0, ""}}},
                      AnnotationCase{"SkipBackwards",
                                     word(1, 100) + word(59, 0) + rawWord(0xFFFF) + rawWord(0xFFCE) + word(1, 0) + kEnd,
                                     {{100, 1, 0, 0, 0, ""}, {50, 1, 0, 0, 0, ""}}},
                      // Text of odd length is padded to a whole word, which is skipped.
                      AnnotationCase{"AuxTextOddLength",
                                     word(28, 18) + word(63, 3) + QByteArray("(N\0\0", 4) + word(1, 59) + kEnd,
                                     {{18, 28, 0, 0, 0, "(N"}, {77, 1, 0, 0, 0, ""}}},
                      AnnotationCase{"AuxTextEvenLength",
                                     word(22, 0) + word(63, 4) + QByteArray("note") + word(1, 2) + kEnd,
                                     {{0, 22, 0, 0, 0, "note"}, {2, 1, 0, 0, 0, ""}}},
                      // The subtype belongs to its annotation; channel and number carry on.
                      AnnotationCase{"FieldsOfPseudoAnnotations",
                                     word(1, 1) + word(61, 2) + word(62, 1) + word(60, 7) + word(5, 1) + word(1, 1) +
                                         word(62, 0) + kEnd,
                                     {{1, 1, 2, 1, 7, ""}, {2, 5, 0, 1, 7, ""}, {3, 1, 0, 0, 7, ""}}},
                      AnnotationCase{"NegativeSubtype", word(1, 4) + word(61, 0x3FF) + kEnd, {{4, 1, -1, 0, 0, ""}}},
                      AnnotationCase{
                          "NoEndMarker", word(1, 10) + word(1, 10), {{10, 1, 0, 0, 0, ""}, {20, 1, 0, 0, 0, ""}}},
                      AnnotationCase{"NothingAfterTheEnd", word(1, 10) + kEnd + word(1, 10), {{10, 1, 0, 0, 0, ""}}},
                      AnnotationCase{"EmptyFile", QByteArray(), {}}),
    [](const ::testing::TestParamInfo<AnnotationCase> &info) { return std::string(info.param.label); });

struct CutFile {
    const char *label;
    QByteArray file;
};

void PrintTo(const CutFile &c, std::ostream *os) { *os << c.label; }

class TruncatedAnnotations : public ::testing::TestWithParam<CutFile> {};

TEST_P(TruncatedAnnotations, AreRefused) {
    std::vector<Annotation> annotations;
    QString error;
    EXPECT_FALSE(AnnotationReader::decode(GetParam().file, &annotations, &error));
    EXPECT_TRUE(error.contains(QLatin1String("end inside"))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Mit, TruncatedAnnotations,
                         ::testing::Values(CutFile{"HalfAWord", word(1, 10) + CliTest::bytes({1})},
                                           CutFile{"SkipWithoutInterval", word(1, 10) + word(59, 0) + rawWord(1)},
                                           CutFile{"AuxWithoutText", word(1, 10) + word(63, 5) + QByteArray("abc")}),
                         [](const ::testing::TestParamInfo<CutFile> &info) { return std::string(info.param.label); });

TEST(AnnotationReference, MitRecord100Has2273Beats) {
    const QString path = CliTest::sharedData(QStringLiteral("mitdb/100.atr"));
    CLI_SKIP_WITHOUT(path);
    std::vector<Annotation> annotations;
    QString error;
    ASSERT_TRUE(AnnotationReader::read(path, &annotations, &error)) << error.toStdString();
    std::map<QString, int> beats;
    std::int64_t previous = -1;
    std::int64_t firstBeat = -1;
    for (const Annotation &annotation : annotations) {
        EXPECT_GE(annotation.sample, previous);
        previous = annotation.sample;
        if (!AnnotationReader::isBeatCode(annotation.code)) continue;
        if (firstBeat < 0) firstBeat = annotation.sample;
        ++beats[AnnotationReader::beatSymbol(annotation.code)];
    }
    int total = 0;
    for (const auto &entry : beats) total += entry.second;
    EXPECT_EQ(total, 2273);
    // Normal beats, atrial premature beats and one ventricular premature beat.
    EXPECT_EQ(beats[QStringLiteral("N")], 2239);
    EXPECT_EQ(beats[QStringLiteral("A")], 33);
    EXPECT_EQ(beats[QStringLiteral("V")], 1);
    EXPECT_EQ(firstBeat, 77);  // rhythm note at 18, first beat 59 samples later
    EXPECT_LT(previous, 650000);
}

}  // namespace
