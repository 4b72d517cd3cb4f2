#include "FilesFixture.h"

#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "files/SingleFileCommands.h"
#include "formats/FileFilters.h"
#include "panel/TfrmPanel.h"
#include "support/WindowTestAccess.h"

#include <QCheckBox>
#include <QMdiSubWindow>
#include <QToolButton>

namespace thermo4::ui::test {
namespace {

constexpr int kPoints = 10;

class SingleFileTest : public FilesTest {
protected:
    /// The DataLogger window showing one data set of kPoints points, 60 s apart,
    /// T1 of point k (from 1) 70.0 + (k − 1) / 10 °F; active.
    TfrmGraph* loggerGraph() {
        setMemory({MakeSet(60, false, kPoints)});
        download();
        TfrmGraph* graph = loggerWindow();
        EXPECT_TRUE(graph);
        activate(graph);
        return graph;
    }
    /// File ▸ Save from the DataLogger window, as a single file named name.
    void saveSingle(const QString& file) {
        answerChoice(TfrmOpenSave::Choice::SingleFile);
        m_prompts.queueSaveFile(file);
        m_window->Save1Click();
    }
    void openSingle(const QString& file) {
        answerChoice(TfrmOpenSave::Choice::SingleFile);
        m_prompts.queueOpenFile(file);
        m_window->Open1Click();
    }
    MdiChild* newest() const { return m_window->children().last(); }
    static QString fullName(const QString& file) {
        return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    }
};

TEST_F(SingleFileTest, TheRangeDialogChoosesThePointsOfAGraphTextExport) {
    loggerGraph();
    struct Case {
        const char* file;
        RangeAnswer range;
        int first;
        int count;
        char separator;
    };
    const Case cases[] = {{"all.txt", {true, "", ""}, 1, kPoints, '\t'},
                          {"swapped.csv", {false, "5", "2"}, 2, 4, ','},
                          {"negative.TXT", {false, "-3", "10"}, 3, 8, '\t'},
                          {"zero.txt", {false, "0", "99"}, 1, kPoints, '\t'}};
    for (const Case& c : cases) {
        m_rangeFields.clear();
        answerRange(c.range);
        saveSingle(path(c.file));
        EXPECT_EQ(m_rangeFields, QStringList{"1-10"}) << c.file;
        const QList<QByteArray> got = lines(path(c.file));
        ASSERT_EQ(got.size(), c.count) << c.file;
        for (int i = 0; i < c.count; ++i) {
            ASSERT_TRUE(got[i].endsWith("\r")) << c.file;
            const QList<QByteArray> fields = got[i].chopped(1).split(c.separator);
            ASSERT_EQ(fields.size(), 6) << c.file << " line " << i;
            const int point = c.first + i;
            EXPECT_EQ(fields[2], QByteArray::number(70.0 + (point - 1) / 10.0, 'f', 1)) << c.file;
            EXPECT_EQ(fields[5], QByteArray::number(73.0 + (point - 1) / 10.0, 'f', 1)) << c.file;
        }
    }
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(SingleFileTest, TheChosenTypeDecidesUnlessTheNameHasAnotherTypesExtension) {
    loggerGraph();
    struct Case {
        const char* typed;
        int type; // index of the chosen file type
        const char* written;
        char separator; // 0: a graph file
    };
    const Case cases[] = {
        {"tab", 1, "tab.TXT", '\t'},      {"comma", 2, "comma.CSV", ','},
        {"graph", 0, "graph.GHF", 0},     {"typed.csv", 1, "typed.csv", ','},
        {"typed.ghf", 1, "typed.ghf", 0}, {"run.dat", 1, "run.dat.TXT", '\t'},
    };
    for (const Case& c : cases) {
        m_rangeFields.clear();
        if (c.separator != 0)
            answerRange({true, "", ""});
        answerChoice(TfrmOpenSave::Choice::SingleFile);
        m_prompts.queueSaveFile(path(c.typed), c.type);
        m_window->Save1Click();
        // The text export runs with its range dialog; a graph file has none.
        EXPECT_EQ(m_rangeFields.size(), c.separator != 0 ? 1 : 0) << c.typed;
        if (c.separator == 0) {
            chart::Graph1 reopened;
            EXPECT_TRUE(chart::LoadGraphState(reopened, path(c.written))) << c.typed;
            continue;
        }
        const QList<QByteArray> got = lines(path(c.written));
        ASSERT_EQ(got.size(), kPoints) << c.typed;
        EXPECT_EQ(got[0].split(c.separator).size(), 6) << c.typed;
    }
    EXPECT_TRUE(errors().isEmpty());

    // An added extension that names an existing file: asked first, and No keeps the file.
    ASSERT_TRUE(writeFile(path("kept.TXT"), "old\r\n"));
    m_prompts.queueAnswer(Answer::No);
    answerChoice(TfrmOpenSave::Choice::SingleFile);
    m_prompts.queueSaveFile(path("kept"), 1);
    m_window->Save1Click();
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Question).last(), ReplaceQuestion(path("kept.TXT")));
    EXPECT_EQ(readAll(path("kept.TXT")), "old\r\n");
}

TEST_F(SingleFileTest, AnExportThatIsRefusedCancelledOrFailsWritesNothingAndKeepsTheOldFile) {
    loggerGraph();
    const QString old = path("keep.txt");
    ASSERT_TRUE(writeFile(old, "old\r\n"));
    const auto leftovers = [this] {
        return QDir(m_dir.path()).entryList({"keep.txt*"}, QDir::Files | QDir::Hidden).size() - 1;
    };

    answerRange({false, "x", "3"});
    saveSingle(old);
    EXPECT_EQ(errors(), QStringList{"invalid integer"});

    answerRange({true, "", "", true});
    saveSingle(old);

    answerRange({true, "", ""});
    cancelProgress(QStringLiteral("Saving Progress"));
    saveSingle(old);
    EXPECT_EQ(m_progressText, QStringLiteral("saving....."));
    EXPECT_EQ(errors().size(), 1);
    EXPECT_EQ(readAll(old), "old\r\n");

    // The disk fills up midway.
    answerRange({true, "", ""});
    withFileSizeLimit(64, [this, &old] { saveSingle(old); });
    ASSERT_EQ(errors().size(), 2);
    EXPECT_TRUE(errors().last().contains(QDir::toNativeSeparators(old))) << errors().last().toStdString();
    EXPECT_EQ(readAll(old), "old\r\n");
    EXPECT_EQ(leftovers(), 0);

    // A folder that does not exist.
    const QString nowhere = path("no/such/folder/run.csv");
    answerRange({true, "", ""});
    saveSingle(nowhere);
    ASSERT_EQ(errors().size(), 3);
    EXPECT_TRUE(errors().last().contains(QDir::toNativeSeparators(nowhere)));
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(SingleFileTest, ACommaDecimalSeparatorHidesTheCommaSeparatedTypeEverywhere) {
    const QString csvMask = QStringLiteral("*.CSV");
    const auto offersCsv = [&](const FileDialogRequest& request) {
        return std::any_of(request.filters.begin(), request.filters.end(),
                           [&](const FileFilter& f) { return f.mask.trimmed() == csvMask; });
    };
    for (const bool comma : {false, true}) {
        QLocale::setDefault(comma ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
        m_prompts.clear();
        QString singleText;
        QTimer::singleShot(0, m_window.get(), [&singleText] {
            if (auto* dialog = qobject_cast<TfrmOpenSave*>(QApplication::activeModalWidget())) {
                singleText = widgets(*dialog).btnOpenSingleSet->text();
                widgets(*dialog).btnOpenSingleSet->click();
            }
        });
        m_prompts.queueOpenFile(QString());
        m_window->Open1Click();
        EXPECT_EQ(singleText, comma ? QStringLiteral("Open single data flle(*.TXT,*.GHF)")
                                    : QStringLiteral("Open single data file(*.TXT,*.CSV,*.GHF)"));

        activate(realTimeWindow());
        m_prompts.queueSaveFile(QString());
        m_window->Save1Click();

        auto* list = new TfrmList(*m_window);
        m_window->addChild(list);
        activate(list);
        m_prompts.queueSaveFile(QString());
        m_window->Save1Click();
        list->closeWindow();

        const QList<FileDialogRequest>& requests = m_prompts.fileRequests();
        ASSERT_EQ(requests.size(), 3);
        for (const FileDialogRequest& request : requests)
            EXPECT_EQ(offersCsv(request), !comma) << request.caption.toStdString();
        EXPECT_EQ(requests[1].defaultSuffix, QStringLiteral("GHF"));
        EXPECT_EQ(requests[2].defaultSuffix, QStringLiteral("TXT"));
        // The second type of the graph save is the tab-separated text; of the table save, the CSV.
        EXPECT_EQ(requests[1].typeChange(1, QStringLiteral("/data/run1.GHF")), QStringLiteral("run1.TXT"));
        EXPECT_EQ(requests[1].typeChange(0, QStringLiteral("run1.TXT")), QStringLiteral("run1.GHF"));
        EXPECT_EQ(requests[2].typeChange(1, QStringLiteral("t.TXT")),
                  comma ? QString() : QStringLiteral("t.CSV"));
    }
}

TEST_F(SingleFileTest, SaveAndPrintWithNoWindowOrThePanelActiveDoNothing) {
    activate(m_window->panelWindow());
    m_window->Save1Click();
    m_window->btnPrintClick();
    for (MdiChild* child : m_window->children())
        ASSERT_TRUE(child->closeWindow());
    ASSERT_EQ(m_window->activeChild(), nullptr);
    m_window->Save1Click();
    m_window->btnPrintClick();
    EXPECT_TRUE(m_prompts.shown().isEmpty());
}

TEST_F(SingleFileTest, AGraphFileReopensWithItsMarksScalesColoursAndSplitState) {
    TfrmGraph* source = loggerGraph();
    chart::Graph1& g = *widgets(*source).Graph1;
    for (const bool split : {true, false}) {
        if (widgets(*source).chkSplit->isChecked() != split)
            widgets(*source).chkSplit->click();
        ASSERT_EQ(g.multiAxesSubsets(1) != 0, split);
        g.setGraphAnnotationX(4, g.xDataII(0, 3));
        g.setGraphAnnotationY(4, 70.3);
        g.setGraphAnnotationType(4, 2);
        g.setGraphAnnotationText(4, QStringLiteral("mark"));
        g.setGraphAnnotationColor(4, QColor(10, 200, 30));
        g.setSubsetColor(2, QColor(1, 2, 3));
        g.setWorkingAxis(0);
        g.setManualScaleControlY(3);
        g.setManualMinY(-5.0);
        g.setManualMaxY(95.0);
        const QString file = path(split ? "split.ghf" : "single.ghf");
        activate(source);
        saveSingle(file);
        openSingle(file);

        auto* opened = qobject_cast<TfrmGraph*>(newest());
        ASSERT_TRUE(opened && opened != source);
        const chart::Graph1& o = *widgets(*opened).Graph1;
        EXPECT_EQ(opened->windowTitle(), fullName(file));
        EXPECT_EQ(o.points(), kPoints);
        EXPECT_EQ(o.yData(0, 9), g.yData(0, 9));
        EXPECT_EQ(o.graphAnnotationX(4), g.graphAnnotationX(4));
        EXPECT_EQ(o.graphAnnotationY(4), g.graphAnnotationY(4));
        EXPECT_EQ(o.graphAnnotationText(4), QStringLiteral("mark"));
        EXPECT_EQ(o.graphAnnotationColor(4), QColor(10, 200, 30));
        EXPECT_EQ(o.subsetColor(2), QColor(1, 2, 3));
        EXPECT_EQ(o.manualScaleControlY(), 3);
        EXPECT_EQ(o.manualMinY(), -5.0);
        EXPECT_EQ(o.manualMaxY(), 95.0);
        EXPECT_EQ(widgets(*opened).chkSplit->isChecked(), split);
        EXPECT_EQ(widgets(*opened).ToolButton5->isEnabled(), !split);
        EXPECT_TRUE(o.allowGraphAnnotHotSpots());
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(widgets(*opened).txtMax[std::size_t(k)]->text(),
                      widgets(*source).txtMax[std::size_t(k)]->text());
        const QSize client = m_window->clientSize();
        EXPECT_EQ(opened->subWindow()->geometry(), QRect(0, 0, client.width(), client.height() - 40));
    }
    EXPECT_TRUE(errors().isEmpty());

    // Not a graph file: said so, and no window.
    const int windows = int(m_window->children().size());
    ASSERT_TRUE(writeFile(path("bad.ghf"), "\x10\x00\x00\x00short"));
    openSingle(path("bad.ghf"));
    EXPECT_EQ(int(m_window->children().size()), windows);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(QStringLiteral("bad.ghf")));
}

TEST_F(SingleFileTest, ATextFileOpensIntoATableThatStopsAtTheFirstLineWithoutTheSeparator) {
    struct Case {
        const char* file;
        QByteArray text;
        QList<QStringList> rows;
    };
    const Case cases[] = {
        {"three.txt", "a\tb\tc\r\nd\te\r\nno tab\r\ng\th\r\n", {{"1", "a", "b", "c"}, {"2", "d", "e"}}},
        {"table.csv",
         "1,2,3,4,5,6,\r\n7,8,9,10,11,12,13,14\n",
         {{"1", "1", "2", "3", "4", "5", "6"}, {"2", "7", "8", "9", "10", "11", "12"}}},
        {"empty.txt", "", {{}}},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(writeFile(path(c.file), c.text));
        openSingle(path(c.file));
        auto* list = qobject_cast<TfrmList*>(newest());
        ASSERT_TRUE(list) << c.file;
        EXPECT_EQ(list->windowTitle(), fullName(path(c.file)));
        EXPECT_EQ(list->subWindow()->geometry(),
                  QRect(0, 0, TfrmList::kDesignWidth, TfrmList::kDesignHeight));
        ASSERT_EQ(list->rowCount(), c.rows.size()) << c.file;
        for (int r = 0; r < list->rowCount(); ++r) {
            QStringList cells = list->rowCells(r);
            while (!cells.isEmpty() && cells.last().isEmpty())
                cells.removeLast();
            EXPECT_EQ(cells, c.rows[r]) << c.file << " row " << r;
        }
        // The new table is active, ready to be drawn as a graph.
        EXPECT_EQ(m_window->activeChild(), list);
        EXPECT_TRUE(Child<QToolButton>(*m_window, "btnOutputToGraph")->isEnabled());
    }
    EXPECT_TRUE(errors().isEmpty());

    const int windows = int(m_window->children().size());
    openSingle(path("missing.txt"));
    EXPECT_EQ(int(m_window->children().size()), windows);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(QDir::toNativeSeparators(path("missing.txt"))));
}

TEST_F(SingleFileTest, ATableSavesTheChosenRowsWithATrailingSeparatorAndReadsBack) {
    QByteArray text;
    for (int r = 1; r <= 5; ++r)
        text += QStringLiteral("d%1\tt%1\t1.%1\t2.%1\t3.%1\tOL\r\n").arg(r).toLatin1();
    ASSERT_TRUE(writeFile(path("in.txt"), text));
    openSingle(path("in.txt"));
    ASSERT_TRUE(qobject_cast<TfrmList*>(newest()));

    m_rangeFields.clear();
    answerRange({false, "3", "1"});
    m_prompts.queueSaveFile(path("rows.txt"));
    m_window->Save1Click();
    EXPECT_EQ(m_rangeFields, QStringList{"1-5"});
    EXPECT_EQ(readAll(path("rows.txt")), "d1\tt1\t1.1\t2.1\t3.1\tOL\t\r\n"
                                         "d2\tt2\t1.2\t2.2\t3.2\tOL\t\r\n"
                                         "d3\tt3\t1.3\t2.3\t3.3\tOL\t\r\n");

    answerRange({true, "", ""});
    m_prompts.queueSaveFile(path("rows.csv"));
    m_window->Save1Click();
    EXPECT_EQ(lines(path("rows.csv")).size(), 5);
    EXPECT_EQ(lines(path("rows.csv")).first(), "d1,t1,1.1,2.1,3.1,OL,\r");

    // What a table export writes, the table reads back.
    openSingle(path("rows.csv"));
    auto* back = qobject_cast<TfrmList*>(newest());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->rowCount(), 5);
    EXPECT_EQ(back->rowCells(4), (QStringList{"5", "d5", "t5", "1.5", "2.5", "3.5", "OL"}));
}

TEST_F(SingleFileTest, ACancelledImportKeepsTheRowsReadUntilThen) {
    QByteArray text;
    for (int r = 1; r <= 5000; ++r)
        text += "x" + QByteArray::number(r) + "\t1\t2\r\n";
    ASSERT_TRUE(writeFile(path("long.txt"), text));
    cancelProgress(QStringLiteral("Open Progress"));
    TfrmList* list = OpenTextTable(*m_window, path("long.txt"), QLatin1Char('\t'));
    ASSERT_TRUE(list);
    // The first row lets the window's events through; Cancel is seen at the next row.
    EXPECT_EQ(m_progressText, QStringLiteral("1"));
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_EQ(list->cellText(0, 1), QStringLiteral("x1"));
    EXPECT_EQ(progressWindow(QStringLiteral("Open Progress")), nullptr);

    TfrmList* whole = OpenTextTable(*m_window, path("long.txt"), QLatin1Char('\t'));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->rowCount(), 5000);
    EXPECT_EQ(whole->cellText(4999, 0), QStringLiteral("5000"));
}

} // namespace
} // namespace thermo4::ui::test
