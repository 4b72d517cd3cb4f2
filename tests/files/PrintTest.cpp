#include "FilesFixture.h"
#include "support/PdfWords.h"

#include "chart/CustomizeDialog.h"
#include "chart/TablePrinter.h"
#include "files/SingleFileCommands.h"
#include "graph/GraphAppearance.h"
#include "support/WindowTestAccess.h"

#include <QComboBox>
#include <QPrinter>

namespace thermo4::ui::test {
namespace {

using thermo4::test::PdfPage;
using thermo4::test::PdfPages;
using thermo4::test::PdfWord;

class PrintTest : public FilesTest {
protected:
    void printTo(const QString& pdf) {
        m_prompts.queuePrint([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        });
        m_window->btnPrintClick();
    }
    /// Every word lies on the page and is between `low` and `high` of its height tall.
    static void expectWordsOnPageSized(const PdfPage& page, double low, double high) {
        ASSERT_FALSE(page.words.empty());
        for (const PdfWord& w : page.words) {
            EXPECT_TRUE(w.xMin >= 0 && w.yMin >= 0 && w.xMax <= page.width && w.yMax <= page.height)
                << w.text.toStdString();
            EXPECT_GE(w.height(), low * page.height) << w.text.toStdString();
            EXPECT_LE(w.height(), high * page.height) << w.text.toStdString();
        }
    }
    /// The data-logger window of a download of one data set, active.
    TfrmGraph* downloadedGraph() {
        setMemory({MakeSet(60, true, 20)});
        download();
        if (TfrmGraph* graph = loggerWindow()) {
            activate(graph);
            return graph;
        }
        return nullptr;
    }
    static QStringList texts(const std::vector<PdfWord>& words) {
        QStringList list;
        for (const PdfWord& w : words)
            list << w.text;
        return list;
    }
};

TEST_F(PrintTest, ATablePrintsItsRowsInAlignedColumnsOnPagesOfTheLinesThatFit) {
    QPrinter& printer = m_window->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const chart::TablePrintLayout layout = chart::TablePrintLayoutFor(printer);
    ASSERT_GT(layout.linesPerPage, 10);
    EXPECT_TRUE(layout.font.fixedPitch() || QFontInfo(layout.font).fixedPitch());

    // Two full pages (the header is line 1 of the first) and five rows on a third; row numbers
    // of one to three digits, a ten-character date beside its time.
    const int rows = std::max(2 * layout.linesPerPage + 4, 104);
    QByteArray text;
    for (int r = 1; r <= rows; ++r)
        text += "09.03.2024\t10:00:" + QByteArray::number(r % 60) + "\t" + QByteArray::number(r) +
                ".5\t1\t2\tOL\n";
    ASSERT_TRUE(writeFile(path("rows.txt"), text));
    ASSERT_TRUE(OpenTextTable(*m_window, path("rows.txt"), QLatin1Char('\t')));

    printTo(path("table.pdf"));
    const std::vector<PdfPage> pages = PdfPages(path("table.pdf"));
    const int full = layout.linesPerPage;
    ASSERT_EQ(pages.size(), std::size_t((rows + 1 + full - 1) / full));
    EXPECT_EQ(pages.front().lines().size(), std::size_t(full));
    EXPECT_EQ(pages.back().lines().size(), std::size_t((rows + 1) % full == 0 ? full : (rows + 1) % full));
    EXPECT_EQ(texts(pages.front().lines().front()),
              QStringList({"No", "Date", "Time", "T1", "T2", "T3", "T4"}));

    // Each column starts at one place on every line of every page, whatever the row number.
    std::vector<double> columnStarts;
    int checked = 0;
    for (const PdfPage& page : pages) {
        expectWordsOnPageSized(page, 0.004, 0.02);
        for (const auto& line : page.lines()) {
            if (line.front().text == QLatin1String("No"))
                continue;
            ASSERT_EQ(line.size(), 7u) << texts(line).join(' ').toStdString();
            EXPECT_EQ(line[1].text, QStringLiteral("09.03.2024"));
            std::vector<double> starts;
            for (const PdfWord& w : line)
                starts.push_back(w.xMin);
            if (columnStarts.empty())
                columnStarts = starts;
            for (std::size_t c = 1; c < starts.size(); ++c)
                EXPECT_NEAR(starts[c], columnStarts[c], 0.5)
                    << "column " << c << " of " << line[0].text.toStdString();
            // The date ends well before its time starts: at least one character apart.
            const double charWidth = line[1].xMax - line[1].xMin;
            EXPECT_GT(line[2].xMin - line[1].xMax, 0.8 * charWidth / 10);
            ++checked;
        }
    }
    EXPECT_EQ(checked, rows);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(PrintTest, AGraphPrintsAsItsWindowShowsItOnOneLandscapePageInPointSizedFonts) {
    TfrmGraph* graph = downloadedGraph();
    ASSERT_TRUE(graph);
    QPrinter& printer = m_window->printer();
    ASSERT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    ASSERT_GT(widgets(*graph).Graph1->width(), widgets(*graph).Graph1->height());

    printTo(path("graph.pdf"));
    const std::vector<PdfPage> pages = PdfPages(path("graph.pdf"));
    ASSERT_EQ(pages.size(), 1u);
    const PdfPage& page = pages.front();
    EXPECT_GT(page.width, page.height);
    // Texts from 7 to 12 points on an A4 or letter page: none runs off it, none is a speck.
    expectWordsOnPageSized(page, 0.012, 0.03);
    // The printer keeps the orientation it had for the next printout.
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

    // Caption, legend, the axes' tick and time labels and the window's statistics fields.
    const QStringList words = texts(page.words);
    for (const QString& expected : {QStringLiteral("DataLogger"), QStringLiteral("T1"), QStringLiteral("T4"),
                                    QStringLiteral("Time"), QStringLiteral("MAX"), QStringLiteral("AVG")})
        EXPECT_TRUE(words.contains(expected)) << expected.toStdString();
    for (QLineEdit* field : {widgets(*graph).txtMax[0], widgets(*graph).txtMin[3], widgets(*graph).txtAvg[2],
                             widgets(*graph).txtStartTime}) {
        for (const QString& part : field->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            EXPECT_TRUE(words.contains(part)) << part.toStdString();
    }
    const auto numbers = std::count_if(words.begin(), words.end(), [](const QString& w) {
        bool number = false;
        w.toInt(&number);
        return number;
    });
    EXPECT_GE(numbers, 4 * 3); // at least three tick labels on each of the four split axes
    const auto times = std::count_if(words.begin(), words.end(),
                                     [](const QString& w) { return w.count(QLatin1Char(':')) == 2; });
    EXPECT_GE(times, 3);
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(PrintTest, TheCustomizationStepShowsOnlyTheRemainingPagesAndLeavesTheTemplateAlone) {
    TfrmGraph* graph = downloadedGraph();
    ASSERT_TRUE(graph);
    chart::Graph1& g = *widgets(*graph).Graph1;
    const QByteArray templateBytes = readAll(m_services.paths.templateFile());
    ASSERT_FALSE(templateBytes.isEmpty());
    QStringList shownPages;
    int dialogs = 0;
    g.setDialogRunner([&](QDialog& dialog) {
        auto* customize = qobject_cast<chart::CustomizeDialog*>(&dialog);
        if (!customize)
            return int(QDialog::Rejected);
        ++dialogs;
        shownPages = customize->pageTitles();
        if (auto* label = customize->findChild<QLineEdit*>(QStringLiteral("edtYAxisLabel0")))
            label->setText(QStringLiteral("Kiln"));
        return int(QDialog::Accepted);
    });

    // The built-in look hides the axis page: no page is left, so no dialog comes.
    ASSERT_FALSE(g.allowAxisPage());
    printTo(path("plain.pdf"));
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(PdfPages(path("plain.pdf")).size(), 1u);

    // With the axis page allowed, it alone is shown; its change goes to the window and to the
    // printout, and nothing asks to save it as the template.
    g.setAllowAxisPage(true);
    printTo(path("custom.pdf"));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(shownPages, QStringList{QStringLiteral("Axis")});
    g.setWorkingAxis(0);
    EXPECT_EQ(g.yAxisLabel(), QStringLiteral("Kiln"));
    const std::vector<PdfPage> pages = PdfPages(path("custom.pdf"));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_FALSE(pages.front().find(QStringLiteral("Kiln")).empty());
    EXPECT_TRUE(m_prompts.texts(ScriptedPrompts::Kind::Question).isEmpty());
    EXPECT_EQ(readAll(m_services.paths.templateFile()), templateBytes);
    EXPECT_TRUE(g.allowFontPage() && g.allowPage1() && g.allowPage2() && g.allowSubsetsPage());

    // Cancelled: nothing printed.
    m_prompts.queuePrint({});
    m_window->btnPrintClick();
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Print).size(), 3);

    // A PDF that cannot be written is reported.
    const QString nowhere = path("no/such/folder/graph.pdf");
    printTo(nowhere);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(QDir::toNativeSeparators(nowhere)));
}

} // namespace
} // namespace thermo4::ui::test
