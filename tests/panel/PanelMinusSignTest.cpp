#include "PanelFixture.h"
#include "core/MeterStatus.h"
#include "panel/LcdGlyphs.h"
#include "support/WindowTestAccess.h"

#include <QDir>
#include <QImage>

namespace thermo4::ui {
namespace {

/// The pixels where two pictures of the same size differ, as one bounding box.
QRect Difference(const QImage& a, const QImage& b) {
    QRect box;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

/// Where an element's own drawing lies: the panel drawn with it minus the panel without it.
QRect Ink(TfrmPanel& panel, QLabel* element) {
    const bool was = element->isVisible();
    element->show();
    const QImage with = panel.grab().toImage();
    element->hide();
    const QImage without = panel.grab().toImage();
    element->setVisible(was);
    return Difference(with, without);
}

constexpr int kMiddleSegment = 3; // g

/// Columns of a large glyph cell where the middle bar of the minus glyph is drawn.
std::pair<int, int> MiddleBarColumns() {
    const QImage minus = DrawLcdGlyph(core::kGlyphMinus, GlyphSize::Large);
    const int y = int(SegmentCentre(kMiddleSegment, GlyphSize::Large).y());
    int first = -1, last = -1;
    for (int x = 0; x < minus.width(); ++x) {
        if (minus.pixelColor(x, y) != kLcdBackground) {
            first = first < 0 ? x : first;
            last = x;
        }
    }
    return {first, last};
}

class PanelMinusSignTest : public PanelFixture {};

TEST_F(PanelMinusSignTest, TheMinusSignSitsOnTheDigitsMiddleLineClearOfTheChannelLabel) {
    for (int k = 0; k < 4; ++k)
        m_meter.setFixedCelsius(k, k == 1 ? 25.3 : -5.2);
    connectAndRefresh();
    TfrmPanel& p = panel();
    if (const QString dir = qEnvironmentVariable("THERMO4_SHOT_DIR"); !dir.isEmpty())
        p.grab().save(QDir(dir).filePath(QStringLiteral("panel-minus.png")));

    const std::array<QLabel*, 4> minus{widgets(p).T1_minus, widgets(p).T2_minus, widgets(p).T3_minus,
                                       widgets(p).T4_minus};
    const std::array<QLabel*, 4> label{widgets(p).lblT1, widgets(p).lblT2, widgets(p).lblT3,
                                       widgets(p).lblT4};
    EXPECT_FALSE(widgets(p).T2_minus->isVisible()) << "25.3 has no sign";
    const auto [barFirst, barLast] = MiddleBarColumns();
    const double barCentre = SegmentCentre(kMiddleSegment, GlyphSize::Large).y();
    for (std::size_t ch = 0; ch < 4; ++ch) {
        const QRect sign = Ink(p, minus[ch]);
        const QRect name = Ink(p, label[ch]);
        const QRect firstDigit = widgets(p).digitImages[ch][0]->geometry();
        ASSERT_TRUE(sign.isValid() && name.isValid()) << "T" << ch + 1;
        // Level with the middle bar of the digits, to within a pixel.
        EXPECT_NEAR(sign.center().y() + 0.5, firstDigit.top() + barCentre, 1.0) << "T" << ch + 1;
        // Before the first digit's middle bar, by a gap narrower than a bar.
        const int barLeft = firstDigit.left() + barFirst;
        EXPECT_LT(sign.right(), barLeft - 1) << "T" << ch + 1;
        EXPECT_GT(sign.right(), barLeft - (barLast - barFirst)) << "T" << ch + 1;
        // Not under the channel label: no column in common with it.
        EXPECT_GT(sign.left(), name.right()) << "T" << ch + 1;
        EXPECT_GE(sign.width(), 8) << "T" << ch + 1;
    }
}

} // namespace
} // namespace thermo4::ui
