#include "LoggerFixture.h"

#include "core/TDateTime.h"
#include "formats/RegionalText.h"
#include "logger/TfrmList.h"
#include "panel/TfrmPanel.h"
#include "support/WindowTestAccess.h"
#include "ui/TfrmScope.h"

#include <QMdiSubWindow>
#include <QToolButton>

namespace thermo4::ui::test {
namespace {

class TabularGraphTest : public LoggerTest {
protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        LoggerTest::TearDown();
    }
    static double at(int k) { return core::TDateTimeFromDateAndTime(QDate(2024, 3, 9), QTime(10, 0, 2 * k)); }

    /// A table window as a text file fills it: rows every 2 s, T1 20 + k, T2 30.5 + k, T3 -k, T4 100.
    TfrmList* table(int count, const std::function<void(QList<QStringList>&)>& edit = {}) {
        const QLocale locale;
        QList<QStringList> rows;
        for (int k = 0; k < count; ++k)
            rows << QStringList{QString::number(k + 1),
                                formats::DateText(at(k), locale),
                                formats::TimeText(at(k), locale),
                                locale.toString(20.0 + k, 'f', 1),
                                locale.toString(30.5 + k, 'f', 1),
                                locale.toString(double(-k), 'f', 1),
                                QStringLiteral("100")};
        if (edit)
            edit(rows);
        auto* list = new TfrmList(*m_window);
        list->setWindowTitle(path("readings.txt"));
        m_window->addChild(list);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                list->setCellText(r, c, rows[r][c]);
        activate(list);
        return list;
    }
    /// The last window created: the one the command made.
    chart::Graph1& graph() const {
        return *widgets(*qobject_cast<TfrmGraph*>(m_window->children().last())).Graph1;
    }
};

TEST_F(TabularGraphTest, OverRangeCellsAreGapsAndBadCellsLeaveTheRestOfTheirRowOut) {
    table(6, [](auto& rows) {
        rows[3][4] = "OL";       // T2 of row 4
        rows[1][2] = "25:00:00"; // row 2: no such time
        rows[2][5] = "x";        // row 3: T3 is no number, T4 is not read
    });
    EXPECT_TRUE(Child<QToolButton>(*m_window, "btnOutputToGraph")->isEnabled());
    m_window->btnOutputToGraphClick();
    const chart::Graph1& g = graph();
    const TfrmGraph* window = qobject_cast<TfrmGraph*>(m_window->children().last());
    EXPECT_EQ(window->windowTitle(), path("readings.txt"));
    // Over the client area, as a graph opened from a file.
    const QSize client = m_window->clientSize();
    EXPECT_EQ(window->subWindow()->geometry(),
              QRect(0, 0, client.width(), client.height() - TfrmGraph::kOpenedHeightMargin));
    ASSERT_EQ(g.points(), 6);
    ASSERT_EQ(g.subsets(), 4);
    for (int p = 0; p < 6; ++p) {
        SCOPED_TRACE(p);
        EXPECT_NEAR(g.xDataII(3, p), p == 1 ? 0.0 : at(p), 1e-9);
        EXPECT_EQ(g.yData(0, p), p == 1 ? 9999.0f : 20.0f + p);
        EXPECT_EQ(g.yData(1, p), p == 1 || p == 3 ? 9999.0f : 30.5f + p);
        EXPECT_EQ(g.yData(3, p), p == 1 || p == 2 ? 9999.0f : 100.0f);
    }
    EXPECT_TRUE(m_window->findChildren<TfrmScope*>().isEmpty());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(TabularGraphTest, ReadingsWithADecimalCommaAreRead) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    table(3);
    m_window->btnOutputToGraphClick();
    EXPECT_EQ(graph().yData(1, 2), 32.5f);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(TabularGraphTest, AnEmptyTableOrAnUnreadableFirstOrLastRowDrawsNothing) {
    table(0);
    const qsizetype windows = m_window->children().size();
    m_window->btnOutputToGraphClick();
    EXPECT_EQ(messages(), QStringList{"No data to graph !"});
    EXPECT_EQ(m_window->children().size(), windows);
    for (const int bad : {0, 3}) {
        m_prompts.clear();
        table(4, [bad](auto& rows) { rows[bad][1] = "someday"; });
        m_window->btnOutputToGraphClick();
        EXPECT_EQ(messages(), QStringList{QStringLiteral("'someday %1' is not a valid date and time")
                                              .arg(formats::TimeText(at(bad), QLocale()))});
        EXPECT_EQ(graph().subsets(), 1); // the new window stays, empty
        EXPECT_EQ(graph().xDataII(0, 0), 0.0);
    }
    // Only a table window is graphed.
    activate(m_window->panelWindow());
    EXPECT_FALSE(Child<QToolButton>(*m_window, "btnOutputToGraph")->isEnabled());
    const qsizetype before = m_window->children().size();
    m_window->btnOutputToGraphClick();
    EXPECT_EQ(m_window->children().size(), before);
}

} // namespace
} // namespace thermo4::ui::test
