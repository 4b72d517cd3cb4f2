#include "panel/TfrmPanel.h"

#include "core/Commands.h"
#include "link/Clock.h"
#include "panel/ClickArea.h"
#include "panel/GlyphCache.h"
#include "panel/LcdGlyphs.h"
#include "ui/MainFrame.h"

#include <QAccessible>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <span>

// The glyph bitmaps are compiled into the same static library as the panel; naming
// their initialiser here links them into every program that has a panel and
// registers them before main(), so the main window finds them when it starts.
[[maybe_unused]] static const int kLcdGlyphsRegistered = [] {
    Q_INIT_RESOURCE(lcd_glyphs);
    return 0;
}();

namespace thermo4::ui {

namespace {

using core::MeterStatus;
using Element = QLabel* TfrmPanel::*;
using Flag = bool MeterStatus::*;

/// An icon of the LCD: its picture in :/panel/icons and where it sits.
struct IconEntry {
    Element element;
    const char* name;
    int left;
    int top;
    const char* picture;
    bool hidden;
};

/// A text element of the LCD (pixel size of its font).
struct TextEntry {
    Element element;
    const char* name;
    const char* text;
    int left;
    int top;
    int pixelSize;
    bool hidden;
};

/// A click area over one of the meter's keys (left, top, width, height in panel px).
struct KeyArea {
    ClickArea* TfrmPanel::*element;
    const char* name;
    int left;
    int top;
    int width;
    int height;
    void (TfrmPanel::*click)();
};

constexpr std::array<int, 4> kDigitLeft{114, 148, 183, 217};
constexpr std::array<int, 4> kRowTop{136, 192, 249, 307};

/// An element shown exactly while its flag in the decoded frame is set.
struct FlaggedElement {
    Flag flag;
    Element element;
};

// Small glyphs of the thermocouple types the left small digit spells out.
constexpr std::uint8_t kSmallGlyphN = 21;
constexpr std::uint8_t kSmallGlyphR = 22;
constexpr std::uint8_t kSmallGlyphS = 5; // S is drawn as a 5

QPixmap glyphOf(const GlyphSet& glyphs, std::uint8_t index) {
    // An index without a loaded bitmap leaves the element empty.
    return index < glyphs.size() ? glyphs[index] : QPixmap();
}

QLabel* newLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

struct TfrmPanel::Elements {
    // In drawing order; battery levels lie on top of each other.
    static constexpr IconEntry kIcons[] = {
        {&TfrmPanel::T1_minus, "T1_minus", 111, 159, "minus", true},
        {&TfrmPanel::T2_minus, "T2_minus", 111, 215, "minus", true},
        {&TfrmPanel::T3_minus, "T3_minus", 111, 273, "minus", true},
        {&TfrmPanel::T4_minus, "T4_minus", 112, 331, "minus", true},
        {&TfrmPanel::T1_P, "T1_P", 211, 179, "point", false},
        {&TfrmPanel::T2_P, "T2_P", 211, 233, "point", false},
        {&TfrmPanel::T3_P, "T3_P", 211, 293, "point", false},
        {&TfrmPanel::T4_P, "T4_P", 211, 351, "point", false},
        {&TfrmPanel::imgT1C, "imgT1C", 250, 175, "degc", true},
        {&TfrmPanel::imgT2C, "imgT2C", 250, 231, "degc", true},
        {&TfrmPanel::imgT3C, "imgT3C", 251, 288, "degc", true},
        {&TfrmPanel::imgT4C, "imgT4C", 250, 345, "degc", true},
        {&TfrmPanel::imgT1F, "imgT1F", 251, 155, "degf", true},
        {&TfrmPanel::imgT2F, "imgT2F", 253, 210, "degf", true},
        {&TfrmPanel::imgT3F, "imgT3F", 252, 269, "degf", true},
        {&TfrmPanel::imgT4F, "imgT4F", 251, 325, "degf", true},
        {&TfrmPanel::lblMAX, "lblMAX", 91, 105, "max", true},
        {&TfrmPanel::lblMIN, "lblMIN", 128, 105, "min", true},
        {&TfrmPanel::lblAVG, "lblAVG", 160, 106, "avg", true},
        {&TfrmPanel::imgHOLD, "imgHOLD", 93, 120, "hold", true},
        {&TfrmPanel::imgMEM, "imgMEM", 196, 105, "mem", true},
        {&TfrmPanel::imgRecall, "imgRecall", 177, 119, "recall", true},
        {&TfrmPanel::imgREC, "imgREC", 195, 370, "rec", true},
        {&TfrmPanel::imgFULL, "imgFULL", 231, 370, "full", true},
        {&TfrmPanel::imgType, "imgType", 51, 105, "type", false},
        {&TfrmPanel::imgK, "imgK", 48, 119, "k", true},
        {&TfrmPanel::imgJ, "imgJ", 60, 119, "j", true},
        {&TfrmPanel::imgE, "imgE", 70, 119, "e", true},
        {&TfrmPanel::imgT, "imgT", 81, 119, "t", true},
        {&TfrmPanel::imgBat0, "imgBat0", 51, 351, "bat0", true},
        {&TfrmPanel::imgBat1, "imgBat1", 51, 351, "bat1", true},
        {&TfrmPanel::imgBat2, "imgBat2", 51, 351, "bat2", true},
        {&TfrmPanel::imgBat3, "imgBat3", 48, 351, "bat3", true},
        {&TfrmPanel::imgAlarm, "imgAlarm", 48, 369, "alarm", true},
        {&TfrmPanel::imgAutoOff, "imgAutoOff", 58, 317, "autooff", true},
        {&TfrmPanel::imgblutooth, "imgblutooth", 48, 220, "bluetooth", true},
        {&TfrmPanel::ingBlutoothLink, "ingBlutoothLink", 68, 221, "link", false},
    };
    static constexpr TextEntry kTexts[] = {
        {&TfrmPanel::lblT1, "lblT1", "T1", 88, 136, 17, false},
        {&TfrmPanel::lblT2, "lblT2", "T2", 89, 193, 17, false},
        {&TfrmPanel::lblT3, "lblT3", "T3", 89, 250, 17, false},
        {&TfrmPanel::lblT4, "lblT4", "T4", 88, 306, 17, false},
        {&TfrmPanel::lblT1_T2, "lblT1_T2", "T1-T2", 67, 283, 10, true},
        {&TfrmPanel::lblHi, "lblHi", "Hi", 101, 365, 11, true},
        {&TfrmPanel::lblLO, "lblLO", "Lo", 122, 365, 11, true},
    };
    static constexpr KeyArea kKeys[] = {
        {&TfrmPanel::btnClose, "btnClose", 60, 445, 50, 51, &TfrmPanel::btnCloseClick},
        {&TfrmPanel::btnHOLD, "btnHOLD", 132, 487, 47, 59, &TfrmPanel::btnHOLDClick},
        {&TfrmPanel::btnCF, "btnCF", 200, 534, 53, 52, &TfrmPanel::btnCFClick},
        {&TfrmPanel::btnMMA, "btnMMA", 60, 533, 57, 53, &TfrmPanel::btnMMAClick},
        {&TfrmPanel::btnRec, "btnRec", 129, 574, 48, 64, &TfrmPanel::btnRecClick},
        {&TfrmPanel::btnRecall, "btnRecall", 61, 621, 46, 55, &TfrmPanel::btnRecallClick},
        {&TfrmPanel::btnMem, "btnMem", 203, 620, 46, 56, &TfrmPanel::btnMemClick},
        {&TfrmPanel::btnBackLight, "btnBackLight", 204, 447, 47, 50, &TfrmPanel::btnBackLightClick},
    };
    // The groups of the refresh, each in the order the refresh draws them.
    static constexpr FlaggedElement kRowElements[] = {
        {&MeterStatus::lblT1, &TfrmPanel::lblT1},   {&MeterStatus::T1_minus, &TfrmPanel::T1_minus},
        {&MeterStatus::T1_P, &TfrmPanel::T1_P},     {&MeterStatus::imgT1C, &TfrmPanel::imgT1C},
        {&MeterStatus::imgT2C, &TfrmPanel::imgT2C}, {&MeterStatus::T2_P, &TfrmPanel::T2_P},
        {&MeterStatus::imgT2F, &TfrmPanel::imgT2F}, {&MeterStatus::imgAutoOff, &TfrmPanel::imgAutoOff},
        {&MeterStatus::lblT4, &TfrmPanel::lblT4},   {&MeterStatus::T3_P, &TfrmPanel::T3_P},
        {&MeterStatus::T4_P, &TfrmPanel::T4_P},
    };
    static constexpr FlaggedElement kRecordElements[] = {
        {&MeterStatus::imgREC, &TfrmPanel::imgREC},
        {&MeterStatus::imgFULL, &TfrmPanel::imgFULL},
    };
    static constexpr FlaggedElement kMemoryElements[] = {
        {&MeterStatus::imgRecall, &TfrmPanel::imgRecall},
        {&MeterStatus::imgT1F, &TfrmPanel::imgT1F},
        {&MeterStatus::imgMEM, &TfrmPanel::imgMEM},
    };
    static constexpr FlaggedElement kStatisticsElements[] = {
        {&MeterStatus::lblAVG, &TfrmPanel::lblAVG},
        {&MeterStatus::lblMIN, &TfrmPanel::lblMIN},
        {&MeterStatus::lblMAX, &TfrmPanel::lblMAX},
    };
    static constexpr FlaggedElement kModeElements[] = {
        {&MeterStatus::imgHOLD, &TfrmPanel::imgHOLD}, {&MeterStatus::lblT2, &TfrmPanel::lblT2},
        {&MeterStatus::imgK, &TfrmPanel::imgK},       {&MeterStatus::imgJ, &TfrmPanel::imgJ},
        {&MeterStatus::imgE, &TfrmPanel::imgE},       {&MeterStatus::imgT, &TfrmPanel::imgT},
        {&MeterStatus::imgType, &TfrmPanel::imgType},
    };
    static constexpr FlaggedElement kLowerRowElements[] = {
        {&MeterStatus::T2_minus, &TfrmPanel::T2_minus}, {&MeterStatus::imgblutooth, &TfrmPanel::imgblutooth},
        {&MeterStatus::lblT3, &TfrmPanel::lblT3},       {&MeterStatus::T3_minus, &TfrmPanel::T3_minus},
        {&MeterStatus::lblT1_T2, &TfrmPanel::lblT1_T2}, {&MeterStatus::imgT3F, &TfrmPanel::imgT3F},
        {&MeterStatus::imgT3C, &TfrmPanel::imgT3C},     {&MeterStatus::imgT4F, &TfrmPanel::imgT4F},
        {&MeterStatus::imgT4C, &TfrmPanel::imgT4C},     {&MeterStatus::T4_minus, &TfrmPanel::T4_minus},
    };
    static constexpr FlaggedElement kAlarmElements[] = {
        {&MeterStatus::imgAlarm, &TfrmPanel::imgAlarm},
        {&MeterStatus::lblHi, &TfrmPanel::lblHi},
        {&MeterStatus::lblLO, &TfrmPanel::lblLO},
    };
    // Highest level first: the first level whose flag is set is the one shown.
    static constexpr FlaggedElement kBatteryLevels[] = {
        {&MeterStatus::imgBat3, &TfrmPanel::imgBat3},
        {&MeterStatus::imgBat2, &TfrmPanel::imgBat2},
        {&MeterStatus::imgBat1, &TfrmPanel::imgBat1},
        {&MeterStatus::imgBat0, &TfrmPanel::imgBat0},
    };
};

TfrmPanel::TfrmPanel(MainFrame& frame) : MdiChild(frame) {
    setObjectName(QStringLiteral("frmPanel"));
    setWindowTitle(QStringLiteral("PANEL"));
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    QFont panelFont(QStringLiteral("Arial Black"));
    panelFont.setBold(true);
    setFont(panelFont);

    createElements();
    createKeys();
    // Around each channel's label, digits and unit icons; hidden until the channel is in alarm.
    constexpr std::array<int, 4> kRowTops{134, 190, 247, 305};
    for (std::size_t channel = 0; channel < m_alarmFrames.size(); ++channel) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("frmAlarmT%1").arg(channel + 1));
        frame->setGeometry(82, kRowTops[channel], 194, 56);
        frame->setStyleSheet(QStringLiteral("QFrame { border: 3px solid red; background: transparent; }"));
        frame->setAttribute(Qt::WA_TransparentForMouseEvents);
        frame->setFocusPolicy(Qt::NoFocus);
        frame->hide();
        m_alarmFrames[channel] = frame;
    }
    noteDesignGeometry();

    const session::MeterSession& meter = session();
    lblNoConnection->setVisible(!meter.connected());
    ingBlutoothLink->setVisible(meter.serialLink());
    connect(&session(), &session::MeterSession::reading, this, [this](const session::Reading& reading) {
        // A frame without display segments leaves the panel as it was.
        if (reading.carriesSegments)
            RefreshPanel(reading.status);
    });
    connect(&session(), &session::MeterSession::connectionChanged, this, &TfrmPanel::connectionChanged);
}

void TfrmPanel::setChannelAlarm(int channel, const QString& text) {
    if (channel < 0 || channel >= int(m_alarmFrames.size()))
        return;
    QFrame* frame = m_alarmFrames[std::size_t(channel)];
    if (frame->accessibleName() == text && frame->isVisible() == !text.isEmpty())
        return;
    frame->setAccessibleName(text);
    frame->setToolTip(text);
    frame->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        frame->raise();
        // Announced at once, not only when a reader happens to visit the frame.
        QAccessibleEvent alert(frame, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

QString TfrmPanel::channelAlarm(int channel) const {
    if (channel < 0 || channel >= int(m_alarmFrames.size()))
        return {};
    const QFrame* frame = m_alarmFrames[std::size_t(channel)];
    return frame->isVisibleTo(this) ? frame->accessibleName() : QString();
}

void TfrmPanel::connectionChanged(session::ConnectionChange change) {
    switch (change) {
    case session::ConnectionChange::Connected:
        lblNoConnection->hide();
        // The link icon is the serial link's: a meter found on USB hides it.
        if (session().usbLink())
            ingBlutoothLink->hide();
        break;
    case session::ConnectionChange::Lost:
        ingBlutoothLink->hide();
        lblNoConnection->show();
        break;
    }
}

void TfrmPanel::createElements() {
    imgPanel = newLabel(this, "imgPanel");
    imgPanel->setPixmap(QPixmap(QStringLiteral(":/panel/meter.svg")));
    imgPanel->move(0, 0);
    imgPanel->adjustSize(); // sized to its picture

    for (std::size_t ch = 0; ch < digitImages.size(); ++ch) {
        for (std::size_t d = 0; d < 4; ++d) {
            auto* digit = new QLabel(this);
            digit->setObjectName(QStringLiteral("T%1D%2").arg(ch + 1).arg(d + 1));
            // T4 sits one pixel further right; the third digit of each row one pixel lower.
            digit->setGeometry(kDigitLeft[d] + (ch == 3 ? 1 : 0), kRowTop[ch] + (d == 2 ? 1 : 0), 30, 52);
            digitImages[ch][d] = digit;
        }
    }
    Image17 = newLabel(this, "Image17");
    Image17->setGeometry(233, 105, 16, 26);
    Image18 = newLabel(this, "Image18");
    Image18->setGeometry(252, 105, 16, 26);

    for (const IconEntry& entry : Elements::kIcons) {
        QLabel* icon = newLabel(this, entry.name);
        icon->setPixmap(QPixmap(QStringLiteral(":/panel/icons/%1.svg").arg(QLatin1String(entry.picture))));
        icon->move(entry.left, entry.top);
        icon->adjustSize();
        icon->setHidden(entry.hidden);
        this->*entry.element = icon;
    }

    QPalette lcdText = palette();
    lcdText.setColor(QPalette::WindowText, kLcdSegment);
    for (const TextEntry& entry : Elements::kTexts) {
        QLabel* text = newLabel(this, entry.name);
        text->setText(QString::fromLatin1(entry.text));
        QFont textFont(QStringLiteral("Arial"));
        textFont.setPixelSize(entry.pixelSize);
        textFont.setBold(true);
        text->setFont(textFont);
        text->setPalette(lcdText);
        text->move(entry.left, entry.top);
        text->adjustSize();
        text->setHidden(entry.hidden);
        this->*entry.element = text;
    }

    lblNoConnection = newLabel(this, "lblNoConnection");
    lblNoConnection->setText(QStringLiteral("No Connection"));
    QFont warningFont = font();
    warningFont.setPixelSize(12);
    lblNoConnection->setFont(warningFont);
    lblNoConnection->setStyleSheet(QStringLiteral("color: red"));
    lblNoConnection->move(87, 94);
    lblNoConnection->adjustSize();
    lblNoConnection->hide();

    lcdBacklight = newLabel(this, "lcdBacklight");
    lcdBacklight->setGeometry(40, 90, 235, 306);
    lcdBacklight->setStyleSheet(QStringLiteral("background-color: rgba(110, 200, 255, 70)"));
    lcdBacklight->setAttribute(Qt::WA_TransparentForMouseEvents);
    lcdBacklight->hide();
}

void TfrmPanel::noteDesignGeometry() {
    for (QWidget* element : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        m_designGeometry.emplace_back(element, element->geometry());
        auto* label = qobject_cast<QLabel*>(element);
        if (label && label->font().pixelSize() > 0)
            m_designTextSize.emplace_back(label, label->font().pixelSize());
    }
}

void TfrmPanel::fitHeight(int height) {
    const double scale = std::clamp(double(height) / kClientHeight, kMinScale, 1.0);
    if (std::abs(scale - m_scale) > 1e-3)
        applyScale(scale);
}

void TfrmPanel::applyScale(double scale) {
    m_scale = scale;
    const auto scaled = [scale](int v) { return int(std::lround(v * scale)); };
    setFixedSize(scaled(kClientWidth), scaled(kClientHeight));
    for (const auto& [element, design] : m_designGeometry) {
        element->setGeometry(scaled(design.left()), scaled(design.top()), std::max(1, scaled(design.width())),
                             std::max(1, scaled(design.height())));
        // Pictures (the meter, icons, LCD glyphs) shrink with their place.
        if (auto* label = qobject_cast<QLabel*>(element))
            label->setScaledContents(scale != 1.0);
    }
    for (const auto& [label, pixels] : m_designTextSize) {
        QFont font = label->font();
        font.setPixelSize(std::max(1, scaled(pixels)));
        label->setFont(font);
        label->setScaledContents(false);
    }
    if (QMdiSubWindow* window = subWindow())
        window->resize(size()); // the panel's window has no frame
}

void TfrmPanel::createKeys() {
    for (const KeyArea& entry : Elements::kKeys) {
        auto* key = new ClickArea(this);
        key->setObjectName(QString::fromLatin1(entry.name));
        key->setGeometry(entry.left, entry.top, entry.width, entry.height);
        connect(key, &ClickArea::clicked, this, entry.click);
        this->*entry.element = key;
    }
    btnClose->setToolTip(QStringLiteral("Close PANEL"));
    btnMMA->setToolTip(QStringLiteral("click to change AVG/MAX/MIN mode, double click  to cancel ."));
    connect(btnMMA, &ClickArea::doubleClicked, this, &TfrmPanel::btnMMADblClick);
}

bool TfrmPanel::event(QEvent* event) {
    // The panel has no caption bar: its sub-window drops the frame's title as soon as it takes the panel.
    if (event->type() == QEvent::ParentChange) {
        if (QMdiSubWindow* window = subWindow())
            window->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
    }
    return MdiChild::event(event);
}

void TfrmPanel::showEvent(QShowEvent* event) {
    MdiChild::showEvent(event);
    FormShow();
}

void TfrmPanel::FormShow() {
    // A new panel's digits are empty: the first refresh draws all sixteen.
    for (auto& row : m_shownGlyph)
        row.fill(255);
}

void TfrmPanel::RefreshPanel(const MeterStatus& status) {
    const GlyphSet& large = LargeLcdGlyphs();
    const GlyphSet& small = SmallLcdGlyphs();
    auto& shown = m_shownGlyph;
    for (std::size_t ch = 0; ch < 4; ++ch) {
        for (std::size_t d = 0; d < 4; ++d) {
            const std::uint8_t glyph = status.digit[ch][d];
            if (glyph != shown[ch][d]) {
                digitImages[ch][d]->setPixmap(glyphOf(large, glyph));
                shown[ch][d] = glyph;
            }
        }
    }
    Image17->setPixmap(glyphOf(small, status.smallDigit[0]));
    Image18->setPixmap(glyphOf(small, status.smallDigit[1]));

    const auto show = [&](std::span<const FlaggedElement> entries) {
        for (const FlaggedElement& entry : entries)
            (this->*entry.element)->setVisible(status.*entry.flag);
    };
    show(Elements::kRowElements);
    if (!status.recBlink) // blinking REC/FULL follow the blink tick instead
        show(Elements::kRecordElements);
    show(Elements::kMemoryElements);
    if (!status.statsMode) // in statistics mode the labels follow the blink tick
        show(Elements::kStatisticsElements);
    show(Elements::kModeElements);

    // The left small digit spells the types without a letter icon, unless it shows a memory number.
    if (!status.imgRecall && !status.imgMEM) {
        switch (core::ThermocoupleType(status.thermocoupleType)) {
        case core::ThermocoupleType::N:
            Image17->setPixmap(glyphOf(small, kSmallGlyphN));
            break;
        case core::ThermocoupleType::R:
            Image17->setPixmap(glyphOf(small, kSmallGlyphR));
            break;
        case core::ThermocoupleType::S:
            Image17->setPixmap(glyphOf(small, kSmallGlyphS));
            break;
        default: // the other types have their letter icons
            break;
        }
    }

    show(Elements::kLowerRowElements);

    // One battery picture at a time; a frame without any level leaves them as they are.
    for (const FlaggedElement& level : Elements::kBatteryLevels) {
        if (status.*level.flag) {
            for (const FlaggedElement& other : Elements::kBatteryLevels)
                (this->*other.element)->setVisible(other.element == level.element);
            break;
        }
    }
    show(Elements::kAlarmElements);

    lcdBacklight->setVisible(status.backlight);
}

void TfrmPanel::Blink(bool on) {
    const MeterStatus& status = session().meterStatus();
    if (status.statsBlink && status.statsMode) {
        for (QLabel* label : {lblMAX, lblMIN, lblAVG})
            label->setVisible(on);
    }
    if (status.recBlink) {
        imgREC->setVisible(on);
        imgFULL->setVisible(on);
    }
    if (session().serialLink())
        ingBlutoothLink->setVisible(on);
}

core::LinkResult TfrmPanel::PressKey(char letter) {
    return session().pressKey(letter);
}

void TfrmPanel::btnCloseClick() {
    closeWindow();
}
void TfrmPanel::btnHOLDClick() {
    PressKey(core::kHold);
}
void TfrmPanel::btnCFClick() {
    PressKey(core::kUnit);
}
void TfrmPanel::btnMMAClick() {
    PressKey(core::kMaxMinAvg);
}
void TfrmPanel::btnMMADblClick() {
    PressKey(core::kMaxMinAvgExit);
}
void TfrmPanel::btnRecClick() {
    PressKey(core::kRecord);
}
void TfrmPanel::btnRecallClick() {
    PressKey(core::kRecall);
}
void TfrmPanel::btnMemClick() {
    PressKey(core::kMemory);
}
void TfrmPanel::btnBackLightClick() {
    PressKey(core::kBacklight);
}

void TfrmPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        imgPanelMouseDown(event->globalPosition());
    MdiChild::mousePressEvent(event);
}

void TfrmPanel::imgPanelMouseDown(const QPointF& globalPos) {
    m_dragging = true;
    m_dragFrom = globalPos;
}

void TfrmPanel::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        QWidget* frame = subWindow() ? static_cast<QWidget*>(subWindow()) : window();
        const QPoint delta = (event->globalPosition() - m_dragFrom).toPoint();
        frame->move(frame->pos() + delta);
        m_dragFrom += QPointF(delta);
    }
    MdiChild::mouseMoveEvent(event);
}

void TfrmPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    MdiChild::mouseReleaseEvent(event);
}

} // namespace thermo4::ui
