#include "FilesFixture.h"

#include "chart/CustomizeDialog.h"
#include "files/PrintCommands.h"
#include "files/SingleFileCommands.h"

#include <QPrinter>
#include <QProcess>

namespace thermo4::ui::test {
namespace {

class PrintTest : public FilesTest {
protected:
    /// Output of a poppler tool (pdfinfo, pdftotext) on file; fails the test when it does not run.
    static QString pdfTool(const QString& tool, QStringList arguments) {
        QProcess process;
        process.start(tool, arguments);
        const bool ran = process.waitForFinished(60'000) && process.exitCode() == 0;
        EXPECT_TRUE(ran) << tool.toStdString()
                         << " did not run (poppler-utils): " << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static int pageCount(const QString& pdf) {
        const QStringList info = pdfTool(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n'));
        for (const QString& line : info) {
            if (line.startsWith(QLatin1String("Pages:")))
                return line.mid(6).trimmed().toInt();
        }
        return -1;
    }
    /// The non-empty lines of one page (from 1), trimmed.
    static QStringList pageLines(const QString& pdf, int page) {
        const QString n = QString::number(page);
        QStringList lines = pdfTool(QStringLiteral("pdftotext"), {"-layout", "-f", n, "-l", n, pdf, "-"})
                                .split(QLatin1Char('\n'));
        QStringList kept;
        for (const QString& line : lines) {
            if (!line.trimmed().isEmpty() && line.trimmed() != QLatin1String("\f"))
                kept << line.trimmed();
        }
        return kept;
    }
    void printTo(const QString& pdf) {
        m_prompts.queuePrint([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        });
        m_window->btnPrintClick();
    }
};

TEST_F(PrintTest, ATablePrintsItsHeaderAndRowsOnPagesOfTheLinesThatFit) {
    QPrinter& printer = m_window->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const TablePrintLayout layout = TablePrintLayoutFor(printer);
    ASSERT_GT(layout.lineHeight, 0);
    ASSERT_GT(layout.linesPerPage, 10);
    EXPECT_TRUE(layout.font.fixedPitch() || QFontInfo(layout.font).fixedPitch());

    // Two full pages (the header is line 1 of the first) and five rows on a third.
    const int rows = 2 * layout.linesPerPage + 4;
    QByteArray text;
    for (int r = 1; r <= rows; ++r)
        text += "09.03.2024\t10:00:" + QByteArray::number(r % 60) + "\t" + QByteArray::number(r) +
                ".5\t1\t2\tOL\n";
    ASSERT_TRUE(writeFile(path("rows.txt"), text));
    ASSERT_TRUE(OpenTextTable(*m_window, path("rows.txt"), QLatin1Char('\t')));

    printTo(path("table.pdf"));
    ASSERT_EQ(pageCount(path("table.pdf")), 3);
    const QStringList first = pageLines(path("table.pdf"), 1);
    const QStringList second = pageLines(path("table.pdf"), 2);
    const QStringList third = pageLines(path("table.pdf"), 3);
    ASSERT_EQ(first.size(), layout.linesPerPage);
    ASSERT_EQ(second.size(), layout.linesPerPage);
    ASSERT_EQ(third.size(), 5);
    EXPECT_EQ(first.first().simplified(), QStringLiteral("No Date Time T1 T2 T3 T4"));
    // A cell of its column's width or more gets no fill.
    EXPECT_EQ(first[1].simplified(), QStringLiteral("1 09.03.202410:00:1 1.5 1 2 OL"));
    // Row r of the printout (the header is row 0) is the table's row r.
    EXPECT_TRUE(second.first().startsWith(QString::number(layout.linesPerPage) + QLatin1Char(' ')));
    EXPECT_TRUE(third.last().startsWith(QString::number(rows) + QLatin1Char(' ')));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(PrintTest, AGraphIsCustomizedWithoutItsFontAndSubsetPagesThenPrinted) {
    setMemory({MakeSet(60, true, 20)});
    download();
    TfrmGraph* graph = loggerWindow();
    ASSERT_TRUE(graph);
    activate(graph);
    chart::Graph1& g = *graph->Graph1;
    const QStringList allPages = g.createCustomizeDialog()->pageTitles();
    QStringList shownPages;
    g.setDialogRunner([&](QDialog& dialog) {
        if (auto* customize = qobject_cast<chart::CustomizeDialog*>(&dialog))
            shownPages = customize->pageTitles();
        return int(QDialog::Rejected);
    });
    printTo(path("graph.pdf"));
    EXPECT_LT(shownPages.size(), allPages.size());
    EXPECT_EQ(g.createCustomizeDialog()->pageTitles(), allPages);
    EXPECT_TRUE(g.allowFontPage() && g.allowPage1() && g.allowPage2() && g.allowSubsetsPage());
    EXPECT_EQ(pageCount(path("graph.pdf")), 1);

    // Cancelled: nothing printed.
    m_prompts.queuePrint({});
    m_window->btnPrintClick();
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Print).size(), 2);

    // A PDF that cannot be written is reported.
    const QString nowhere = path("no/such/folder/graph.pdf");
    printTo(nowhere);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(QDir::toNativeSeparators(nowhere)));
}

} // namespace
} // namespace thermo4::ui::test
