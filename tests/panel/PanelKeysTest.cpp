#include "PanelFixture.h"
#include "core/Commands.h"
#include "panel/ClickArea.h"
#include "support/WindowTestAccess.h"

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace thermo4::ui {
namespace {

/// What the window system delivers for a double click: press, release, double-click press, release.
void doubleClick(QWidget* widget) {
    const QPoint at = widget->rect().center();
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(at), widget->mapToGlobal(QPointF(at)),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &second);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

struct KeyCase {
    const char* name;
    ClickArea* PanelWidgets::*key;
    char letter;
    /// The element that shows the meter's answer on the next frame (after a blink tick for REC).
    QLabel* PanelWidgets::*lit;
};

const KeyCase kKeys[] = {
    {"HOLD", &PanelWidgets::btnHOLD, 'H', &PanelWidgets::imgHOLD},
    {"CF", &PanelWidgets::btnCF, 'C', &PanelWidgets::imgT3F},
    {"MMA", &PanelWidgets::btnMMA, 'M', &PanelWidgets::lblMAX},
    {"Rec", &PanelWidgets::btnRec, 'E', &PanelWidgets::imgREC},
    {"Recall", &PanelWidgets::btnRecall, 'R', &PanelWidgets::imgRecall},
    {"Mem", &PanelWidgets::btnMem, 'm', &PanelWidgets::imgMEM},
    {"BackLight", &PanelWidgets::btnBackLight, 'B', &PanelWidgets::lcdBacklight},
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.name;
}

class PanelKeyTest : public PanelFixture, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PanelKeyTest, AClickSendsTheKeysLetterAndTheNextFrameShowsTheMetersAnswer) {
    const KeyCase& c = GetParam();
    connectAndRefresh();
    ASSERT_TRUE((widgets(panel()).*c.lit)->isHidden());
    m_meter.clearReceived();
    const std::int64_t before = m_clock.tickMs();

    QTest::mouseClick(widgets(panel()).*c.key, Qt::LeftButton);
    const std::vector<std::uint8_t> sent{0x02, static_cast<std::uint8_t>(c.letter), 0, 0, 0, 0, 0x03};
    ASSERT_EQ(m_meter.received().size(), 1u);
    EXPECT_EQ(m_meter.received()[0].bytes, sent);
    EXPECT_EQ(m_clock.tickMs(), before) << "an acknowledged key does not wait";
    EXPECT_TRUE(mainTimer()->isActive()) << "the poll resumes";
    stopTimers();

    tick();
    window().MaxMinTimerTimer();
    if (!window().blinkPhase()) // REC blinks: look in its on phase
        window().MaxMinTimerTimer();
    EXPECT_FALSE((widgets(panel()).*c.lit)->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Keys, PanelKeyTest, ::testing::ValuesIn(kKeys),
                         [](const auto& info) { return std::string(info.param.name); });

using PanelKeysTest = PanelFixture;

TEST_F(PanelKeysTest, ADoubleClickOnMaxMinAvgSendsMThenNAndLeavesTheMode) {
    connectAndRefresh();
    QTest::mouseClick(widgets(panel()).btnMMA, Qt::LeftButton);
    m_meter.clearReceived();
    doubleClick(widgets(panel()).btnMMA);
    stopTimers();
    EXPECT_EQ(m_meter.receivedLetters(), "MN");
    tick();
    EXPECT_TRUE(widgets(panel()).lblMAX->isHidden() && widgets(panel()).lblMIN->isHidden() &&
                widgets(panel()).lblAVG->isHidden());
}

TEST_F(PanelKeysTest, WithoutAUsbMeterAKeyCostsOneFailedTransactionAnd300MsAndChangesNothing) {
    const struct {
        const char* name;
        bool connectFirst;
        bool serialLink;
    } setups[] = {
        {"never connected", false, false}, {"unplugged", true, false}, {"on the serial link", true, true}};
    for (const auto& setup : setups) {
        SCOPED_TRACE(setup.name);
        if (setup.connectFirst)
            connectAndRefresh();
        if (setup.serialLink)
            session::MeterSessionTestAccess::setLink(session(), link::LinkKind::Serial);
        m_usb.setPlugged(false);
        m_meter.clearReceived();
        const QImage before = panel().grab().toImage();
        const int opens = m_usb.opens, reads = m_usb.reads, waits = m_clock.waitCount();
        const std::int64_t tick0 = m_clock.tickMs();

        QTest::mouseClick(widgets(panel()).btnHOLD, Qt::LeftButton);
        EXPECT_EQ(m_usb.opens - opens, 1) << "no second attempt";
        EXPECT_EQ(m_usb.reads - reads, 1);
        EXPECT_EQ(m_clock.waitCount() - waits, 1);
        EXPECT_EQ(m_clock.tickMs() - tick0, session::MeterSession::kFailedKeyDelayMs + 1);
        EXPECT_TRUE(mainTimer()->isActive());
        stopTimers();
        EXPECT_EQ(m_meter.receivedLetters(), "");
        EXPECT_EQ(panel().grab().toImage(), before);
        EXPECT_EQ(panel().PressKey(core::kHold), core::PanelKeyResult::kRead);
        stopTimers();
        m_usb.setPlugged(true);
    }
}

TEST_F(PanelKeysTest, AKeyWhileADownloadHoldsTheLinkIsDroppedWithoutATransaction) {
    connectAndRefresh();
    const int opens = m_usb.opens;
    const std::int64_t tick0 = m_clock.tickMs();
    {
        const auto download = session::MeterSessionTestAccess::holdLink(session());
        ASSERT_TRUE(download);
        const std::int64_t held = m_clock.tickMs();
        EXPECT_EQ(panel().PressKey(core::kRecord), session::MeterSession::kKeyDropped);
        QTest::mouseClick(widgets(panel()).btnRec, Qt::LeftButton);
        EXPECT_FALSE(mainTimer()->isActive()) << "the download's pause of the poll stays";
        EXPECT_EQ(m_clock.tickMs(), held) << "a dropped key costs no wait";
    }
    EXPECT_EQ(m_usb.opens, opens);
    EXPECT_GE(m_clock.tickMs(), tick0);
    EXPECT_FALSE(m_meter.recording());
}

} // namespace
} // namespace thermo4::ui
