// The words a template hands to the report catalogue: exactly the texts the
// layout translates, each once, and none that is only fields.
#include "reports/ReportTemplate.h"
#include "reports/ReportTemplateWords.h"

#include <gtest/gtest.h>

namespace {

TEST(ReportTemplateWords, AWordNeedsALetterOutsideTheFields) {
    const struct {
        const char *text;
        bool words;
    } cases[] = {
        {"", false},
        {"   ", false},
        {"[patientName]", false},
        {"[maxSysBP]/[maxDiaBP]", false},
        {"[maxHR] bpm", true},
        {"Page [pageNumber] of [pageCount]", true},
        {"ST [[V5]", true},  // an escaped bracket opens no field: "ST" and "V5" are words
        {"[[", false},
        {"12.5 %", false},
        {"Nivel máximo", true},
        {"[unclosed field", false},
    };
    for (const auto &c : cases) EXPECT_EQ(ReportTemplateWords::hasWords(QString::fromUtf8(c.text)), c.words) << c.text;
}

TEST(ReportTemplateWords, CollectsTextsLabelsTitlesAndCellsOnceInDocumentOrder) {
    const ReportTemplate report = ReportTemplate::parse(R"xml(
        <report>
          <header height="10"><text>Exercise   stress
              test</text></header>
          <body>
            <fields columns="2">
              <field label="Name">[patientName]</field>
              <field label="Maximum HR">[maxHR] bpm</field>
            </fields>
            <table repeat="stage">
              <column title="Stage">[stage/name]</column>
              <column title="ST [[V5]">[stage/ST] mm</column>
            </table>
            <image source="[headerLogo]" width="40" height="15"/>
            <ecg event="start" title="Limb leads"/>
            <trend series="BPMTrend" title="HR (bpm)" height="40"/>
            <text if="conclusion">[conclusion]</text>
            <text>Name</text>
          </body>
        </report>)xml");
    const QStringList expected{"Exercise stress test", "Name",       "Maximum HR", "[maxHR] bpm", "Stage", "ST [[V5]",
                               "[stage/ST] mm",        "Limb leads", "HR (bpm)"};
    EXPECT_EQ(ReportTemplateWords::collect(report.root()), expected);
}

TEST(ReportTemplateWords, MarksEachWordAsACatalogueToolReadsIt) {
    const QByteArray marked = ReportTemplateWords::markedForTranslation(
        {QStringLiteral("Heart rate"), QStringLiteral("Say \"a\\b\""), QStringLiteral("∆ST [[V5]")});
    EXPECT_TRUE(marked.contains("QT_TRANSLATE_NOOP(\"ReportTemplate\", \"Heart rate\")\n"));
    EXPECT_TRUE(marked.contains("QT_TRANSLATE_NOOP(\"ReportTemplate\", \"Say \\\"a\\\\b\\\"\")\n"));
    EXPECT_TRUE(marked.contains(QString::fromUtf8("QT_TRANSLATE_NOOP(\"ReportTemplate\", \"∆ST [[V5]\")\n").toUtf8()));
    EXPECT_EQ(marked.count("QT_TRANSLATE_NOOP"), 3);
}

}  // namespace
