#include "ChartTestUtil.h"

#include "chart/CustomizeDialog.h"
#include "chart/Graph1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::chart::test {
namespace {

void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void click(Graph1& g, QPoint pos) {
    send(g.plot(), QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    send(g.plot(), QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

void doubleClick(Graph1& g, QPoint pos) {
    click(g, pos);
    send(g.plot(), QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
    send(g.plot(), QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

void drag(Graph1& g, QPoint from, QPoint to) {
    send(g.plot(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    send(g.plot(), QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    send(g.plot(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    send(g.plot(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// One curve of 100 points in a single axis, as a data-set graph after "Split" is cleared.
std::unique_ptr<Graph1> singleViewGraph() {
    auto g = shownGraph();
    fillFourChannels(*g, 100);
    g->setMultiAxesSubsets(-1, 0);
    g->setMultiAxesProportions(0, 1.0);
    g->redraw();
    return g;
}

QPoint pixelOf(const Graph1& g, double x, double y) {
    return g.graphToPixel(QPointF(x, y)).toPoint();
}

TEST(Graph1InteractionTest, ClickAndMoveReportThePointer) {
    auto g = singleViewGraph();
    QSignalSpy clicks(g.get(), &Graph1::onClick);
    QSignalSpy moves(g.get(), &Graph1::onMouseMove);
    const QPoint pos = g->plottingArea().center();
    send(g->plot(), QEvent::MouseMove, pos + QPoint(3, 4), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(moves.count(), 1);
    EXPECT_EQ(g->lastMousePosition(), pos + QPoint(3, 4));
    click(*g, pos);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(g->lastMousePosition(), pos);
    drag(*g, pos, pos + QPoint(40, 0)); // a drag is not a click
    EXPECT_EQ(clicks.count(), 1);
}

TEST(Graph1InteractionTest, AnnotationHotSpotsReportIndexAndDoubleClick) {
    struct Case {
        bool hotSpots;
        int type;
        QString text;
        bool hit;
    };
    const Case cases[] = {
        {true, AnnotationCross, {}, true},
        {true, AnnotationText, QStringLiteral("door"), true},
        {true, AnnotationText, {}, false}, // a deleted mark: nothing drawn, nothing to hit
        {false, AnnotationCross, {}, false},
    };
    for (const Case& c : cases) {
        auto g = singleViewGraph();
        g->setAllowGraphAnnotHotSpots(c.hotSpots);
        g->setGraphAnnotationType(4, c.type);
        g->setGraphAnnotationText(4, c.text);
        g->setGraphAnnotationX(4, kT0 + 30 * kSecond);
        g->setGraphAnnotationY(4, 20.0);
        g->redraw();
        QSignalSpy spy(g.get(), &Graph1::onGraphAnnotHotSpot);
        // A text mark is hit on its text, which starts at its point.
        const QPoint at = pixelOf(*g, kT0 + 30 * kSecond, 20.0) + QPoint(c.text.isEmpty() ? 2 : 8, 1);
        click(*g, at);
        doubleClick(*g, at);
        click(*g, at + QPoint(0, 60)); // well away from the mark
        if (!c.hit) {
            EXPECT_EQ(spy.count(), 0) << c.type << c.hotSpots;
            continue;
        }
        // click, the double-click's first click, the double click itself
        ASSERT_EQ(spy.count(), 3) << c.type;
        EXPECT_EQ(spy[0], (QList<QVariant>{false, 4}));
        EXPECT_EQ(spy[2], (QList<QVariant>{true, 4}));
    }
}

TEST(Graph1InteractionTest, DataHotSpotNamesSubsetAndPoint) {
    auto g = singleViewGraph();
    g->setAllowDataHotSpots(true);
    g->setYData(1, 60, 9999.0f);
    g->redraw();
    QSignalSpy spy(g.get(), &Graph1::onDataHotSpot);
    const QPoint on = pixelOf(*g, g->xDataII(2, 42), g->yData(2, 42));
    click(*g, on + QPoint(2, -2));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0], (QList<QVariant>{2, 42}));
    // A null point has no place on the curve: a click where its neighbours run hits nothing.
    click(*g, pixelOf(*g, g->xDataII(1, 60), g->yData(1, 59)));
    EXPECT_EQ(spy.count(), 1);
    g->setAllowDataHotSpots(false);
    spy.clear();
    click(*g, on);
    EXPECT_EQ(spy.count(), 0);
}

TEST(Graph1InteractionTest, GraphHotSpotGivesGraphValues) {
    auto g = singleViewGraph();
    QSignalSpy spy(g.get(), &Graph1::onGraphHotSpot);
    const QPoint at = g->plottingArea().center();
    click(*g, at);
    EXPECT_EQ(spy.count(), 0); // off by default
    g->setAllowGraphHotSpots(true);
    click(*g, at);
    ASSERT_EQ(spy.count(), 1);
    const QPointF expected = g->pixelToGraph(at);
    EXPECT_DOUBLE_EQ(spy[0][0].toDouble(), expected.x());
    EXPECT_DOUBLE_EQ(spy[0][1].toDouble(), expected.y());
    click(*g, QPoint(2, 2)); // outside the plotting area
    EXPECT_EQ(spy.count(), 1);
}

TEST(Graph1InteractionTest, DraggingARectangleZooms) {
    auto g = singleViewGraph();
    g->setAllowZooming(ZoomBoth);
    g->redraw();
    QSignalSpy spy(g.get(), &Graph1::onZoomIn);
    const QCPRange before = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
    const QPoint from = g->plottingArea().topLeft() + QPoint(100, 50);
    drag(*g, from, from + QPoint(200, 100));
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(g->isZoomed());
    const QCPRange after = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
    EXPECT_LT(after.size(), before.size());
    EXPECT_NEAR(after.lower, g->pixelToGraph(from).x(), 1e-3);
}

TEST(Graph1InteractionTest, TableAnnotationSitsAtItsPositionAndMoves) {
    auto g = singleViewGraph();
    g->setAllowZooming(ZoomBoth);
    g->setTARows(15);
    g->setTAColumns(2);
    for (int r = 0; r < 15; ++r) {
        g->setTAText(r, 0, QStringLiteral("T%1 MAX:").arg(r));
        g->setTAText(r, 1, QStringLiteral("23.4@12:00:00"));
        g->setTAColor(r, 1, argb(255, 255, 0, 0));
    }
    g->setShowTableAnnotation(true);
    g->setTALocation(TableInsideAxis);
    g->setTAX(550);
    g->setTAY(50);
    g->setTAMoveable(true);
    g->setTABackColor(argb(129, 255, 255, 255));
    g->setTABorder(BorderInset);
    g->setTATextSize(60);
    g->setGraphBackColor(Qt::black);
    g->redraw();
    const QRect area = g->plottingArea();
    QRectF table = g->tableAnnotationRect();
    ASSERT_FALSE(table.isEmpty());
    EXPECT_NEAR(table.left(), area.left() + 0.55 * area.width(), 1.0);
    EXPECT_NEAR(table.top(), area.top() + 0.05 * area.height(), 1.0);
    EXPECT_GT(table.height(), 15 * 5.0);

    // Drawn: the half-transparent white shows as grey over the black plotting area.
    const QImage image = g->plot()->toPixmap().toImage();
    const QColor inside = image.pixelColor(table.topLeft().toPoint() + QPoint(2, 2));
    EXPECT_GT(inside.red(), 80);
    EXPECT_LT(inside.red(), 200);

    // Dragging it moves it instead of zooming.
    QSignalSpy zoomed(g.get(), &Graph1::onZoomIn);
    const QPoint grab = table.center().toPoint();
    drag(*g, grab, grab - QPoint(100, 0));
    EXPECT_EQ(zoomed.count(), 0);
    EXPECT_NEAR(g->TAX(), 550 - 100 * 1000.0 / area.width(), 2);
    EXPECT_NEAR(g->TAY(), 50, 2);
    // A fixed table lets the same drag zoom.
    g->setTAMoveable(false);
    table = g->tableAnnotationRect();
    drag(*g, table.center().toPoint(), table.center().toPoint() + QPoint(-100, 40));
    EXPECT_EQ(zoomed.count(), 1);

    g->setShowTableAnnotation(false);
    EXPECT_TRUE(g->tableAnnotationRect().isEmpty());
}

TEST(Graph1InteractionTest, LineCursorCanBeDragged) {
    auto g = singleViewGraph();
    g->setShowVertLineAnnotations(true);
    g->setAllowVertLineAnnotHotSpots(true);
    g->setVertLineAnnotation(0, kT0 + 20 * kSecond);
    g->setVertLineAnnotationColor(0, QColor(0, 0, 255));
    g->redraw();
    QSignalSpy spy(g.get(), &Graph1::onVertLineAnnotMoved);
    const int y = g->plottingArea().center().y();
    const QPoint from(pixelOf(*g, kT0 + 20 * kSecond, 0).x(), y);
    const QPoint to(pixelOf(*g, kT0 + 70 * kSecond, 0).x(), y);
    drag(*g, from, to);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toInt(), 0);
    EXPECT_NEAR(g->vertLineAnnotation(0), kT0 + 70 * kSecond, 0.5 * kSecond);
}

TEST(Graph1InteractionTest, CustomizeDialogOkAppliesAndCancelDoesNot) {
    auto g = singleViewGraph();
    const GraphState before = g->state();
    auto edit = [](CustomizeDialog& d) {
        d.findChild<QLineEdit*>(QStringLiteral("edtMainTitle"))->setText(QStringLiteral("Kiln"));
        d.findChild<QLineEdit*>(QStringLiteral("edtSubsetLabel2"))->setText(QStringLiteral("Door"));
        d.findChild<ColorButton*>(QStringLiteral("btnSubsetColor2"))->setColor(QColor(255, 128, 0));
        d.findChild<QDoubleSpinBox*>(QStringLiteral("spnLineWidth2"))->setValue(2.5);
        d.findChild<QComboBox*>(QStringLiteral("cboGridStyle"))->setCurrentIndex(GridDashed);
        d.findChild<ColorButton*>(QStringLiteral("btnGraphBackColor"))->setColor(QColor(Qt::black));
        d.findChild<QCheckBox*>(QStringLiteral("chkDataHotSpots"))->setChecked(true);
        d.findChild<QComboBox*>(QStringLiteral("cboScaleY0"))->setCurrentIndex(ScaleManual);
        d.findChild<QDoubleSpinBox*>(QStringLiteral("spnMaxY0"))->setValue(120);
    };
    {
        auto dialog = g->createCustomizeDialog();
        edit(*dialog);
        dialog->reject();
        EXPECT_EQ(g->state(), before); // nothing changes until applied
    }
    // Through the modal action, answered without a screen.
    QSignalSpy closed(g.get(), &Graph1::onCustomizeDlg);
    auto answer = [&](int result) {
        g->setDialogRunner([&edit, result](QDialog& d) {
            auto* dialog = qobject_cast<CustomizeDialog*>(&d);
            EXPECT_NE(dialog, nullptr);
            if (dialog)
                edit(*dialog);
            return result;
        });
    };
    answer(QDialog::Rejected);
    g->performAction(Graph1::Customize);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(g->dialogResult(), 0);
    EXPECT_EQ(g->state(), before);

    answer(QDialog::Accepted);
    g->customize();
    EXPECT_EQ(closed.count(), 2);
    EXPECT_EQ(g->dialogResult(), 1);
    EXPECT_EQ(g->mainTitle(), QStringLiteral("Kiln"));
    EXPECT_EQ(g->subsetLabel(2), QStringLiteral("Door"));
    EXPECT_EQ(g->subsetColor(2), QColor(255, 128, 0));
    EXPECT_EQ(g->gridStyle(), int(GridDashed));
    EXPECT_TRUE(g->allowDataHotSpots());
    EXPECT_EQ(g->manualMaxY(), 120.0);
    // Applied to the drawing as well.
    EXPECT_EQ(g->graphOf(2)->pen().color(), QColor(255, 128, 0));
    EXPECT_EQ(g->graphOf(2)->pen().widthF(), 2.5);
    EXPECT_EQ(g->axisRect(0)->axis(QCPAxis::atLeft)->range().upper, 120.0);
    // Data are not the dialog's business.
    EXPECT_EQ(g->state().y, before.y);
}

TEST(Graph1InteractionTest, PrintDialogPrintsOnlyWhenAccepted) {
    auto g = singleViewGraph();
    QTemporaryDir dir;
    for (const int result : {QDialog::Rejected, QDialog::Accepted}) {
        const QString file = dir.filePath(QStringLiteral("print%1.pdf").arg(result));
        g->setDialogRunner([&file, result](QDialog& d) {
            auto* dialog = qobject_cast<QPrintDialog*>(&d);
            EXPECT_NE(dialog, nullptr);
            if (dialog) {
                dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
                dialog->printer()->setOutputFileName(file);
            }
            return result;
        });
        g->performAction(Graph1::PrintDialog);
        EXPECT_EQ(QFileInfo::exists(file), result == QDialog::Accepted) << result;
    }
}

TEST(Graph1InteractionTest, DialogOffersThePagesTheFlagsAllow) {
    struct Case {
        bool page1, page2, subsets, axis, font;
        QStringList titles;
    };
    const Case cases[] = {
        {true, true, true, true, true, {"General", "Style", "Subsets", "Axis", "Font"}},
        {true, true, true, false, true, {"General", "Style", "Subsets", "Font"}}, // the default look
        {false, false, false, true, false, {"Axis"}}, // before printing, only the rest is offered
    };
    for (const Case& c : cases) {
        Graph1 g;
        g.setAllowPage1(c.page1);
        g.setAllowPage2(c.page2);
        g.setAllowSubsetsPage(c.subsets);
        g.setAllowAxisPage(c.axis);
        g.setAllowFontPage(c.font);
        EXPECT_EQ(g.createCustomizeDialog()->pageTitles(), c.titles);
    }
}

TEST(Graph1InteractionTest, HiddenPagesDoNotOverwriteTheirSettings) {
    Graph1 g;
    g.setAllowPage1(false);
    auto dialog = g.createCustomizeDialog();
    g.setMainTitle(QStringLiteral("set while the dialog was open"));
    g.applyCustomizeDialog(*dialog);
    EXPECT_EQ(g.mainTitle(), QStringLiteral("set while the dialog was open"));
}

TEST(Graph1InteractionTest, CursorFollowsTheArrowCursorSetting) {
    Graph1 g;
    g.setArrowCursor(2);
    EXPECT_EQ(g.plot()->cursor().shape(), Qt::IBeamCursor);
    g.setArrowCursor(QCursor(Qt::PointingHandCursor));
    EXPECT_EQ(g.plot()->cursor().shape(), Qt::PointingHandCursor);
    g.setArrowCursor(1);
    EXPECT_EQ(g.plot()->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace thermo4::chart::test
