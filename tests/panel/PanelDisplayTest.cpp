#include "PanelFixture.h"
#include "core/MeterStatus.h"
#include "panel/LcdGlyphs.h"
#include "sim/LiveFrameEncoder.h"
#include "support/WindowTestAccess.h"

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMdiSubWindow>

namespace thermo4::ui {
namespace {

constexpr int B = core::kGlyphBlank;
constexpr int M = core::kGlyphMinus;
constexpr int L = core::kGlyphL;
using Row = std::array<int, 4>;

core::MeterStatus statusOf(const sim::DisplayState& display) {
    core::MeterStatus status;
    core::DecodeStatus(sim::EncodeLiveFrame(display), status);
    return status;
}

bool shown(const QLabel* element) {
    return !element->isHidden();
}

class PanelDisplayTest : public PanelFixture {
protected:
    /// T1 25.3 °C, T2 -12.5 °C, T3 over range, T4 without a probe; then the first frame.
    void showEveryKindOfRow() {
        m_meter.setFixedCelsius(0, 25.3);
        m_meter.setFixedCelsius(1, -12.5);
        m_meter.setProbe(2, sim::ChannelShow::OverRange);
        m_meter.setProbe(3, sim::ChannelShow::NoReading);
        connectAndRefresh();
    }
};

TEST_F(PanelDisplayTest, TheMainWindowLoadsEveryDrawnGlyphFromItsNamedResource) {
    for (std::size_t i = 0; i < core::kGlyphCount; ++i) {
        const QImage large = DrawLcdGlyph(static_cast<int>(i), GlyphSize::Large);
        const QImage small = DrawLcdGlyph(static_cast<int>(i), GlyphSize::Small);
        EXPECT_EQ(LargeLcdGlyphs()[i].toImage().convertToFormat(large.format()), large) << i;
        EXPECT_EQ(SmallLcdGlyphs()[i].toImage().convertToFormat(small.format()), small) << i;
    }
}

TEST_F(PanelDisplayTest, ADecodedFrameSetsEveryDigitAndTheIconsOfItsRows) {
    showEveryKindOfRow();
    EXPECT_EQ(rowGlyphs(0), (Row{B, 2, 5, 3}));
    EXPECT_EQ(rowGlyphs(1), (Row{B, 1, 2, 5}));
    EXPECT_EQ(rowGlyphs(2), (Row{B, 0, L, B}));
    EXPECT_EQ(rowGlyphs(3), (Row{M, M, M, M}));

    const TfrmPanel& p = panel();
    const std::pair<const QLabel*, bool> expected[] = {
        {widgets(p).T1_minus, false}, {widgets(p).T2_minus, true},
        {widgets(p).T3_minus, false}, {widgets(p).T4_minus, false},
        {widgets(p).T1_P, true},      {widgets(p).T2_P, true},
        {widgets(p).T3_P, false},     {widgets(p).T4_P, false},
        {widgets(p).imgT1C, true},    {widgets(p).imgT4C, true},
        {widgets(p).imgT1F, false},   {widgets(p).imgT3F, false},
        {widgets(p).lblT4, true},     {widgets(p).imgK, true},
        {widgets(p).imgJ, false},     {widgets(p).imgHOLD, false},
        {widgets(p).imgBat3, true},   {widgets(p).imgBat2, false},
        {widgets(p).imgREC, false},   {widgets(p).lblNoConnection, false},
    };
    for (const auto& [element, on] : expected)
        EXPECT_EQ(shown(element), on) << element->objectName().toStdString();
}

TEST_F(PanelDisplayTest, TheSnapshotShowsTheDigitsOverThePictureOfTheMeter) {
    showEveryKindOfRow();
    const QImage picture = panel().grab().toImage();
    ASSERT_TRUE(picture.save(QStringLiteral(THERMO4_PANEL_SNAPSHOT)));
    // The "2" of 25.3 and the "5" of -12.5 (the decimal points overlap the third digits).
    const auto glyph = [&](int i) { return LargeLcdGlyphs()[i].toImage().convertToFormat(picture.format()); };
    EXPECT_EQ(picture.copy(widgets(panel()).digitImages[0][1]->geometry()), glyph(2));
    EXPECT_EQ(picture.copy(widgets(panel()).digitImages[1][3]->geometry()), glyph(5));
    EXPECT_NE(picture.pixelColor(150, 700), QColor(Qt::white)) << "the meter's front is drawn";
    EXPECT_TRUE(panel().subWindow()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(panel().subWindow()->size(), QSize(TfrmPanel::kClientWidth, TfrmPanel::kClientHeight));
}

TEST_F(PanelDisplayTest, OnlyChangedDigitsAreRedrawnAndAReopenedPanelDrawsAllSixteen) {
    m_meter.setFixedCelsius(0, 25.3);
    connectAndRefresh();
    QLabel* hundreds = widgets(panel()).digitImages[0][0];
    const QPixmap marker(30, 52);
    hundreds->setPixmap(marker);
    m_meter.setFixedCelsius(0, 35.3);
    tick();
    EXPECT_EQ(hundreds->pixmap().cacheKey(), marker.cacheKey()) << "an unchanged digit is left alone";
    EXPECT_EQ(rowGlyphs(0)[1], 3);

    ASSERT_TRUE(panel().closeWindow());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window().ControlPanel1Click();
    ASSERT_TRUE(window().panelWindow());
    tick();
    EXPECT_EQ(rowGlyphs(0), (Row{B, 3, 5, 3}));
    for (std::size_t ch = 1; ch < 4; ++ch) {
        const Row row = rowGlyphs(ch);
        EXPECT_EQ(std::count(row.begin(), row.end(), -1), 0) << "row T" << ch + 1;
    }
}

TEST_F(PanelDisplayTest, TheLeftSmallDigitSpellsTypesNRSUnlessAMemoryNumberIsShown) {
    constexpr int kDigit = 7; // what the frame itself carries
    const struct {
        std::uint8_t type;
        bool recall, mem;
        int left;
    } cases[] = {{4, false, false, 21},     {5, false, false, 22},    {6, false, false, 5},
                 {0, false, false, kDigit}, {6, true, false, kDigit}, {5, false, true, kDigit}};
    for (const auto& c : cases) {
        sim::DisplayState display;
        display.thermocoupleType = c.type;
        display.recall = c.recall;
        display.mem = c.mem;
        display.smallGlyphs = {kDigit, 9};
        panel().RefreshPanel(statusOf(display));
        EXPECT_EQ(glyphIn(widgets(panel()).Image17, SmallLcdGlyphs()), c.left)
            << int(c.type) << c.recall << c.mem;
        EXPECT_EQ(glyphIn(widgets(panel()).Image18, SmallLcdGlyphs()), 9);
    }
}

TEST_F(PanelDisplayTest, OneBatteryPictureAtATimeAndNoLevelKeepsTheLast) {
    const TfrmPanel& p = panel();
    const std::array<const QLabel*, 4> pictures{widgets(p).imgBat0, widgets(p).imgBat1, widgets(p).imgBat2,
                                                widgets(p).imgBat3};
    for (int level : {3, 1, 0, 2, -1}) {
        sim::DisplayState display;
        display.batteryLevel = level;
        panel().RefreshPanel(statusOf(display));
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(shown(pictures[i]), i == (level < 0 ? 2 : level)) << "level " << level;
    }
}

TEST_F(PanelDisplayTest, BlinkingElementsFollowTheBlinkTickAndNotTheFrames) {
    const TfrmPanel& p = panel();
    sim::DisplayState display;
    display.statsLabel = sim::StatsLabel::All;
    display.statsMode = display.statsBlink = true;
    display.recIcon = display.full = display.recBlink = true;
    linkState().meterStatus = statusOf(display);
    session::MeterSessionTestAccess::setLink(session(), link::LinkKind::Serial);
    for (int i = 0; i < 4; ++i) {
        window().MaxMinTimerTimer();
        panel().RefreshPanel(linkState().meterStatus); // a frame between two blink ticks
        m_clock.advance(TfrmMain::kTimerIntervalMs);
        for (const QLabel* element : {widgets(p).lblMAX, widgets(p).lblMIN, widgets(p).lblAVG,
                                      widgets(p).imgREC, widgets(p).imgFULL, widgets(p).ingBlutoothLink})
            EXPECT_EQ(shown(element), window().blinkPhase()) << element->objectName().toStdString() << i;
    }
    // Statistics mode without blinking: the labels stay as last drawn, REC comes from the frame.
    const bool last = shown(widgets(p).lblMIN);
    display.statsBlink = display.recBlink = false;
    linkState().meterStatus = statusOf(display);
    for (int i = 0; i < 2; ++i) {
        window().MaxMinTimerTimer();
        panel().RefreshPanel(linkState().meterStatus);
        EXPECT_EQ(shown(widgets(p).lblMIN), last);
        EXPECT_TRUE(shown(widgets(p).imgREC));
    }
}

TEST_F(PanelDisplayTest, LosingTheMeterShowsNoConnectionKeepsTheDigitsAndStopsTheLinkBlink) {
    m_meter.setFixedCelsius(0, 25.3);
    connectAndRefresh();
    session::MeterSessionTestAccess::setLink(session(), link::LinkKind::Serial);
    m_usb.setPlugged(false);
    tick(3);
    EXPECT_TRUE(shown(widgets(panel()).lblNoConnection));
    EXPECT_EQ(rowGlyphs(0), (Row{B, 2, 5, 3}));
    for (int i = 0; i < 2; ++i) {
        window().MaxMinTimerTimer();
        EXPECT_FALSE(shown(widgets(panel()).ingBlutoothLink));
    }
    m_usb.setPlugged(true);
    tick();
    EXPECT_FALSE(shown(widgets(panel()).lblNoConnection));
}

} // namespace
} // namespace thermo4::ui
