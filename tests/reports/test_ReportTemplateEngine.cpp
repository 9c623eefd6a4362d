// The template engine: field substitution, rows repeated over a set, the
// conditions, page breaks and the errors a practice's template can make.

#include "reports/FieldText.h"
#include "reports/ReportLayout.h"
#include "reports/ReportTemplate.h"

#include <QImage>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

ReportData sampleData() {
    ReportData data;
    data.setField("headerTitle", "Cardiology Unit");
    data.setField("patientName", "Doe, Jane");
    data.setField("empty", "");
    data.setField("hasSpeed", "1");
    for (int i = 0; i < 3; ++i)
        data.addRow("stage",
                    {{"name", QStringLiteral("Exercise %1").arg(i + 1)}, {"HR", QString::number(100 + 20 * i)}});
    data.declareRowSet("event");
    return data;
}

// The texts of a laid-out page in placing order.
QStringList texts(const PlacedPage &page) {
    QStringList out;
    for (const PlacedItem &item : page)
        if (item.kind == PlacedItem::Kind::Text) out << item.text;
    return out;
}

QImage metricsDevice() {
    QImage image(10, 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(11811);  // 300 dpi
    image.setDotsPerMeterY(11811);
    return image;
}

}  // namespace

TEST(FieldText, SubstitutesFieldsRowsAndPages) {
    const ReportData data = sampleData();
    FieldScope scope;
    scope.data = &data;
    scope.entries.push_back({"stage", 1});
    scope.pageNumber = 2;
    scope.pageCount = 5;
    struct Case {
        const char *text;
        const char *expected;
        QStringList unknown;
    } cases[] = {
        {"[headerTitle]", "Cardiology Unit", {}},
        {"Name: [patientName].", "Name: Doe, Jane.", {}},
        {"[stage/name] at [stage/HR] bpm", "Exercise 2 at 120 bpm", {}},
        {"Page [pageNumber] of [pageCount]", "Page 2 of 5", {}},
        {"a [empty]b", "a b", {}},
        // A misspelling stays on the page so the template's author sees it.
        {"[patientNmae] x", "[patientNmae] x", {"patientNmae"}},
        {"[stage/BPM]", "[stage/BPM]", {"stage/BPM"}},
        {"[event/description]", "[event/description]", {"event/description"}},
        {"ST [[V5]", "ST [V5]", {}},
        {"open [bracket", "open [bracket", {}},
        {"[]", "[]", {""}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QStringList unknown;
        EXPECT_EQ(FieldText::substitute(c.text, scope, &unknown), QString::fromUtf8(c.expected));
        EXPECT_EQ(unknown, c.unknown);
    }
    // Page numbers are not known while the body is laid out.
    scope.pageNumber = 0;
    EXPECT_EQ(FieldText::substitute("[pageNumber]", scope), "[pageNumber]");
}

TEST(FieldText, ConditionsHoldForFieldsWithAValue) {
    const ReportData data = sampleData();
    FieldScope scope;
    scope.data = &data;
    EXPECT_TRUE(FieldText::condition("", scope));
    EXPECT_TRUE(FieldText::condition("hasSpeed", scope));
    EXPECT_FALSE(FieldText::condition("empty", scope));
    QStringList unknown;
    EXPECT_FALSE(FieldText::condition("hasSped", scope, &unknown));
    EXPECT_EQ(unknown, QStringList{"hasSped"});
}

TEST(ReportTemplate, RefusesMalformedTemplatesNamingTheLine) {
    struct Case {
        const char *xml;
        const char *message;
    } cases[] = {
        {"<report>\n<body>\n<text>a</txt>\n</body></report>", "Report template error: line 3"},
        {"<page/>", "the root element must be <report>"},
        {"<report>\n<body>\n<paragraph/>\n</body></report>", "line 3: <paragraph> is not allowed inside <body>"},
        {"<report><body><table repeat=\"stage\"><text/></table></body></report>",
         "<text> is not allowed inside <table>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.xml);
        try {
            ReportTemplate::parse(c.xml);
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error &e) {
            EXPECT_NE(QString(e.what()).indexOf(c.message), -1) << e.what();
        }
    }
}

TEST(ReportLayout, TableRepeatsRowsAndHidesColumnsByCondition) {
    const ReportData data = sampleData();
    const ReportTemplate report = ReportTemplate::parse(R"(<report><body>
        <table repeat="stage">
          <column title="Stage" width="30">[stage/name]</column>
          <column title="Speed" width="20" if="hasSpeed">x</column>
          <column title="Dose" width="20" if="empty">never</column>
          <column title="HR">[stage/HR]</column>
        </table></body></report>)");
    const QImage device = metricsDevice();
    ReportLayout layout(report, data, device);
    QStringList unknown;
    const std::vector<PlacedPage> pages = layout.bodyPages(&unknown);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(texts(pages[0]), (QStringList{"Stage", "Speed", "HR", "Exercise 1", "x", "100", "Exercise 2", "x", "120",
                                            "Exercise 3", "x", "140"}));
    EXPECT_TRUE(unknown.isEmpty());
}

TEST(ReportLayout, LongTablesContinueOnNewPagesUnderTheirTitles) {
    ReportData data;
    for (int i = 0; i < 120; ++i) data.addRow("stage", {{"HR", QString::number(i)}});
    const ReportTemplate report = ReportTemplate::parse(R"(<report margin="10">
        <header height="12"><text>Page [pageNumber] of [pageCount]</text></header>
        <body><table repeat="stage" size="9"><column title="HR">[stage/HR]</column></table></body></report>)");
    const QImage device = metricsDevice();
    ReportLayout layout(report, data, device);
    const std::vector<PlacedPage> pages = layout.bodyPages(nullptr);
    ASSERT_GE(pages.size(), 2u);
    int next = 0;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p);
        const QStringList onPage = texts(pages[p]);
        ASSERT_FALSE(onPage.isEmpty());
        EXPECT_EQ(onPage.front(), "HR");
        // Every row once, in order, and every item inside the body's band.
        for (int i = 1; i < onPage.size(); ++i) EXPECT_EQ(onPage[i], QString::number(next++));
        for (const PlacedItem &item : pages[p]) {
            EXPECT_GE(item.mm.top(), 22.0 - 1e-9);
            EXPECT_LE(item.mm.bottom(), 297.0 - 10.0 + 1e-9);
        }
    }
    EXPECT_EQ(next, 120);
    const int count = static_cast<int>(pages.size());
    EXPECT_EQ(texts(layout.frame(2, count, nullptr)), QStringList{QStringLiteral("Page 2 of %1").arg(count)});
}

TEST(ReportLayout, RepeatWalksItsSetAndUnknownSetsAreRefused) {
    const ReportData data = sampleData();
    const ReportTemplate repeat = ReportTemplate::parse(
        R"(<report><body><repeat over="stage"><text>[stage/name]: [stage/HR] [stage/ST]</text></repeat></body></report>)");
    const QImage device = metricsDevice();
    ReportLayout layout(repeat, data, device);
    QStringList unknown;
    const std::vector<PlacedPage> pages = layout.bodyPages(&unknown);
    EXPECT_EQ(texts(pages[0]),
              (QStringList{"Exercise 1: 100 [stage/ST]", "Exercise 2: 120 [stage/ST]", "Exercise 3: 140 [stage/ST]"}));
    EXPECT_EQ(unknown, QStringList{"stage/ST"});

    const ReportTemplate wrongSet =
        ReportTemplate::parse(R"(<report><body><table repeat="stages"><column>x</column></table></body></report>)");
    ReportLayout wrong(wrongSet, data, device);
    EXPECT_THROW(wrong.bodyPages(nullptr), std::runtime_error);
}

TEST(ReportLayout, HeaderNeverGrowsIntoTheBody) {
    const ReportData data = sampleData();
    const ReportTemplate report = ReportTemplate::parse(R"(<report margin="12">
        <header height="6"><text size="9">[headerTitle]</text><text size="9">second line</text></header>
        <footer height="6"><text size="7">Page [pageNumber]</text></footer>
        <body><text>body</text></body></report>)");
    const QImage device = metricsDevice();
    ReportLayout layout(report, data, device);
    const std::vector<PlacedPage> pages = layout.bodyPages(nullptr);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GE(pages[0].front().mm.top(), 18.0);
    const PlacedPage frame = layout.frame(1, 1, nullptr);
    EXPECT_EQ(texts(frame), (QStringList{"Cardiology Unit", "Page 1"}));
    for (const PlacedItem &item : frame)
        EXPECT_TRUE(item.mm.bottom() <= 18.0 + 0.01 || item.mm.top() >= 297.0 - 18.0) << item.text.toStdString();
}
