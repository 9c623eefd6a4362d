// ECG pages as a cardiograph lays them out, checked on the pixels of the
// rendered page: in 6 x 2 and 4 x 3 each column is the next part of the
// time span and holds the next leads in channel order, top to bottom; the
// rhythm strip runs the whole span below.

#include "EcgPixelProbe.h"

#include "analysis/ChannelTable.h"
#include "ui/EcgPageOutput.h"

#include <gtest/gtest.h>

using namespace EcgPixelProbe;

namespace {

constexpr double kRate = 500.0;
constexpr double kSeconds = 4.0;

struct LayoutCase {
    const char *label;
    EcgPage::Layout layout;
    int columns;
    int rows;
};

class PageLayout : public ::testing::TestWithParam<LayoutCase> {};

// Lead k has one upright spike inside its own column's part of the span,
// lower in the part the further down its row is.
TEST_P(PageLayout, EachLeadInItsColumnAndRowAndTheRhythmStripBelow) {
    const LayoutCase c = GetParam();
    const double part = kSeconds / c.columns;
    auto spikeTime = [&](int lead) { return (lead / c.rows) * part + part * (0.2 + 0.6 * (lead % c.rows) / c.rows); };
    std::vector<EcgPageLead> leads(12);
    for (int k = 0; k < 12; ++k) {
        leads[static_cast<std::size_t>(k)].name = ChannelTable::name(k);
        auto &mv = leads[static_cast<std::size_t>(k)].millivolts;
        mv.assign(static_cast<std::size_t>(kSeconds * kRate), 0.0);
        const auto at = static_cast<std::size_t>(spikeTime(k) * kRate);
        for (std::size_t i = at; i < at + 4; ++i) mv[i] = 1.0;
    }
    EcgPaperScale scale;
    EcgPage page(c.layout, kRate, kSeconds, scale, DisplayColorScheme::byName(QStringLiteral("Light")));
    page.setRhythmLeads({1});
    const QImage image = EcgPageOutput::renderImage(page, leads, 127.0).convertToFormat(QImage::Format_RGB32);
    const double mm = 5.0;

    // Baselines: dark runs down a column just right of the trace start.
    const std::vector<Edge> all = verticalEdges(image, image.rect(), static_cast<int>(7 * mm));
    ASSERT_GE(all.size(), 2u);
    // Past the pulse, before the lead names: only the baselines cross here.
    const int traceStart = static_cast<int>(all[1].x + 2.5 * mm);
    const std::vector<PixelRun> baselines = runs(image, true, traceStart, 0, image.height() - 1, isDark);
    ASSERT_EQ(baselines.size(), static_cast<std::size_t>(c.rows + 1)) << "grid rows and the rhythm strip";

    // The spikes of each row, right of the pulses, from the band between
    // its neighbours' baselines; lead I's is the earliest of all.
    auto rowSpikes = [&](std::size_t r) {
        const int top = r == 0 ? 0 : static_cast<int>((baselines[r - 1].centre() + baselines[r].centre()) / 2);
        const int bottom = r + 1 == baselines.size()
                               ? image.height() - 1
                               : static_cast<int>((baselines[r].centre() + baselines[r + 1].centre()) / 2);
        return verticalEdges(image, QRect(traceStart, top, image.width() - traceStart, bottom - top + 1),
                             static_cast<int>(7 * mm));
    };
    const std::vector<Edge> first = rowSpikes(0);
    ASSERT_FALSE(first.empty());
    const double leadOneX = first.front().x;
    for (std::size_t r = 0; r < baselines.size(); ++r) {
        const std::vector<Edge> found = rowSpikes(r);
        // Grid rows hold leads r, r + rows, ...; the rhythm strip lead II.
        std::vector<int> expected;
        if (static_cast<int>(r) == c.rows)
            expected = {1};
        else
            for (int k = static_cast<int>(r); k < 12; k += c.rows) expected.push_back(k);
        ASSERT_EQ(found.size(), expected.size()) << "row " << r;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_NEAR(found[i].x - leadOneX, (spikeTime(expected[i]) - spikeTime(0)) * 25.0 * mm, 2.0)
                << "row " << r << " lead " << expected[i];
            EXPECT_NEAR(found[i].bottom, baselines[r].centre(), 2.0) << "upright from its own baseline";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PageLayout,
                         ::testing::Values(LayoutCase{"TwelveByOne", EcgPage::Layout::TwelveByOne, 1, 12},
                                           LayoutCase{"SixByTwo", EcgPage::Layout::SixByTwo, 2, 6},
                                           LayoutCase{"FourByThree", EcgPage::Layout::FourByThree, 4, 3}),
                         [](const ::testing::TestParamInfo<LayoutCase> &info) { return info.param.label; });

}  // namespace
