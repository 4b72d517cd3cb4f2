#include "app/TileLayout.h"

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

/// Windows arranged in an area, and the places they should get.
struct ArrangeCase {
    const char* name;
    QRect area;
    QList<TileWindow> windows;
    QList<QRect> expected;
};

TEST(TileLayout, FixedWindowsKeepTheirSizeAndTheOthersShareTheRest) {
    const TileWindow panel{QSize(313, 740), true};
    const TileWindow graph{QSize(300, 200), false};
    const ArrangeCase cases[] = {
        {"panel and one graph",
         QRect(0, 0, 1600, 880),
         {panel, graph},
         {QRect(0, 0, 313, 740), QRect(313, 0, 1287, 880)}},
        {"the panel may come later in the list",
         QRect(0, 0, 1600, 880),
         {graph, panel},
         {QRect(313, 0, 1287, 880), QRect(0, 0, 313, 740)}},
        {"two graphs stacked beside the panel",
         QRect(0, 0, 1600, 880),
         {panel, graph, graph},
         {QRect(0, 0, 313, 740), QRect(313, 0, 1287, 440), QRect(313, 440, 1287, 440)}},
        {"two wide windows side by side",
         QRect(0, 0, 1600, 500),
         {TileWindow{QSize(600, 400), false}, TileWindow{QSize(600, 400), false}},
         {QRect(0, 0, 800, 500), QRect(800, 0, 800, 500)}},
        {"four in a square",
         QRect(0, 0, 1000, 800),
         {graph, graph, graph, graph},
         {QRect(0, 0, 500, 400), QRect(500, 0, 500, 400), QRect(0, 400, 500, 400),
          QRect(500, 400, 500, 400)}},
        {"three: the last row spreads over the width",
         QRect(0, 0, 1000, 800),
         {graph, graph, graph},
         {QRect(0, 0, 500, 400), QRect(500, 0, 500, 400), QRect(0, 400, 1000, 400)}},
        {"tall area stacks them",
         QRect(0, 0, 400, 900),
         {graph, graph},
         {QRect(0, 0, 400, 450), QRect(0, 450, 400, 450)}},
        {"only fixed windows", QRect(0, 0, 800, 600), {panel}, {QRect(0, 0, 313, 740)}},
        {"nothing to tile", QRect(0, 0, 800, 600), {}, {}},
    };
    for (const ArrangeCase& c : cases)
        EXPECT_EQ(TileRects(c.area, c.windows), c.expected) << c.name;
}

TEST(TileLayout, ACellIsNeverSmallerThanItsWindowsMinimumNorLeavesTheArea) {
    const TileWindow big{QSize(700, 500), false};
    const QRect area(0, 0, 1000, 700);
    const QList<QRect> rects = TileRects(area, {big, big});
    ASSERT_EQ(rects.size(), 2);
    for (const QRect& r : rects) {
        EXPECT_GE(r.width(), 700);
        EXPECT_GE(r.height(), 500);
        EXPECT_LE(r.right(), area.right());
        EXPECT_LE(r.bottom(), area.bottom());
    }
}

TEST(TileLayout, CascadedWindowsStepDownAndShareWhatTheLastOneLeaves) {
    const TileWindow panel{QSize(313, 716), true};
    const TileWindow graph{QSize(800, 430), false};
    const ArrangeCase cases[] = {
        {"panel and two graphs",
         QRect(0, 0, 1600, 900),
         {panel, graph, graph},
         {QRect(0, 0, 313, 716), QRect(26, 26, 1548, 848), QRect(52, 52, 1548, 848)}},
        {"a minimum larger than the share moves back into the area",
         QRect(0, 0, 900, 500),
         {graph, graph, graph},
         {QRect(0, 0, 848, 448), QRect(26, 26, 848, 448), QRect(52, 52, 848, 448)}},
        {"too many for the area: they stay inside it",
         QRect(0, 0, 1000, 600),
         {graph, graph, graph, graph, graph, graph, graph, graph, graph, graph},
         {QRect(0, 0, 800, 430), QRect(26, 26, 800, 430), QRect(52, 52, 800, 430), QRect(78, 78, 800, 430),
          QRect(104, 104, 800, 430), QRect(130, 130, 800, 430), QRect(156, 156, 800, 430),
          QRect(182, 170, 800, 430), QRect(200, 170, 800, 430), QRect(200, 170, 800, 430)}},
        {"nothing to cascade", QRect(0, 0, 800, 600), {}, {}},
    };
    for (const ArrangeCase& c : cases)
        EXPECT_EQ(CascadeRects(c.area, c.windows, 26), c.expected) << c.name;
}

} // namespace
} // namespace thermo4::ui
