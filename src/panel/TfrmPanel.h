#pragma once

#include "core/LinkResult.h"
#include "core/MeterStatus.h"
#include "session/MeterSession.h"
#include "ui/MdiChild.h"

#include <QPointF>

#include <array>
#include <utility>
#include <vector>

class QFrame;
class QLabel;

namespace thermo4::ui {

class ClickArea;

/// The virtual panel (caption "PANEL"): a picture of the meter's front with its
/// LCD rebuilt from glyph bitmaps and icons, refreshed from every live frame the
/// session decodes, blinking on the main window's 500 ms blink tick, and click
/// areas on the meter's keys that send the key's command letter over USB.
class TfrmPanel : public MdiChild {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 313;
    static constexpr int kClientHeight = 716;
    /// Smallest scale the panel is drawn at on a low screen (its texts stay readable).
    static constexpr double kMinScale = 0.6;

    explicit TfrmPanel(MainFrame& frame);

    /// Draws a decoded live frame: the digits that changed since the last
    /// refresh, the small digits, icons and labels.
    void RefreshPanel(const core::MeterStatus& status);
    /// The blink tick's work on the panel in the tick's phase: statistics labels,
    /// REC/FULL and the link icon follow the phase while they blink.
    void Blink(bool phase);

    /// Draws the panel as large as fits a client area `height` pixels high: its design size,
    /// or smaller on a low screen (never below kMinScale); the keys keep working.
    void fitHeight(int height);
    /// The scale the panel is drawn at (1 at its design size).
    double scale() const { return m_scale; }

    /// Marks a channel (0..3) in alarm with a red frame around its reading whose text
    /// (e.g. "T1 alarm: T1 > 300.0") a screen reader announces; an empty text removes it.
    void setChannelAlarm(int channel, const QString& text);
    /// The text of a channel's alarm mark; empty while it has none.
    QString channelAlarm(int channel) const;

    /// Sends one key's letter to the meter (MeterSession::pressKey): the
    /// transaction's result, or MeterSession::kKeyDropped while another operation
    /// (a download, another key) holds the link.
    core::LinkResult PressKey(char letter);

private:
    friend struct WindowTestAccess;
    /// The tables placing the elements and tying them to the decoded frame's flags.
    struct Elements;

    // Elements of the meter's front, named as on the form.
    QLabel* imgPanel = nullptr;
    /// T1D1..T4D4: large digits per channel (T1..T4) and position (left to right).
    std::array<std::array<QLabel*, 4>, 4> digitImages{};
    /// Small digits: left (also the thermocouple letter) and right.
    QLabel* Image17 = nullptr;
    QLabel* Image18 = nullptr;
    QLabel* lblT1 = nullptr;
    QLabel* lblT2 = nullptr;
    QLabel* lblT3 = nullptr;
    QLabel* lblT4 = nullptr;
    QLabel* lblT1_T2 = nullptr;
    QLabel* T1_minus = nullptr;
    QLabel* T2_minus = nullptr;
    QLabel* T3_minus = nullptr;
    QLabel* T4_minus = nullptr;
    QLabel* T1_P = nullptr;
    QLabel* T2_P = nullptr;
    QLabel* T3_P = nullptr;
    QLabel* T4_P = nullptr;
    QLabel* imgT1C = nullptr;
    QLabel* imgT2C = nullptr;
    QLabel* imgT3C = nullptr;
    QLabel* imgT4C = nullptr;
    QLabel* imgT1F = nullptr;
    QLabel* imgT2F = nullptr;
    QLabel* imgT3F = nullptr;
    QLabel* imgT4F = nullptr;
    QLabel* lblMAX = nullptr;
    QLabel* lblMIN = nullptr;
    QLabel* lblAVG = nullptr;
    QLabel* imgHOLD = nullptr;
    QLabel* imgMEM = nullptr;
    QLabel* imgRecall = nullptr;
    QLabel* imgREC = nullptr;
    QLabel* imgFULL = nullptr;
    QLabel* imgType = nullptr;
    QLabel* imgK = nullptr;
    QLabel* imgJ = nullptr;
    QLabel* imgE = nullptr;
    QLabel* imgT = nullptr;
    QLabel* imgBat0 = nullptr;
    QLabel* imgBat1 = nullptr;
    QLabel* imgBat2 = nullptr;
    QLabel* imgBat3 = nullptr;
    QLabel* imgAlarm = nullptr;
    QLabel* lblHi = nullptr;
    QLabel* lblLO = nullptr;
    QLabel* imgAutoOff = nullptr;
    QLabel* imgblutooth = nullptr;
    /// Link icon: shown (blinking) only while the live link is the serial port.
    QLabel* ingBlutoothLink = nullptr;
    QLabel* lblNoConnection = nullptr;
    /// The LCD's backlight: a glow over the LCD window while the meter reports it on.
    QLabel* lcdBacklight = nullptr;

    ClickArea* btnClose = nullptr;
    ClickArea* btnHOLD = nullptr;
    ClickArea* btnCF = nullptr;
    ClickArea* btnMMA = nullptr;
    ClickArea* btnRec = nullptr;
    ClickArea* btnRecall = nullptr;
    ClickArea* btnMem = nullptr;
    ClickArea* btnBackLight = nullptr;

public slots:
    void btnCloseClick();
    void btnHOLDClick();
    void btnCFClick();
    void btnMMAClick();
    void btnMMADblClick();
    void btnRecClick();
    void btnRecallClick();
    void btnMemClick();
    void btnBackLightClick();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void createElements();
    void createKeys();
    /// Notes every element's design geometry (and text size), which scaling starts from.
    void noteDesignGeometry();
    void applyScale(double scale);
    void FormShow();
    void connectionChanged(session::ConnectionChange change);
    /// imgPanelMouseDown and what follows it: the whole window follows the mouse.
    void imgPanelMouseDown(const QPointF& globalPos);

    /// Large-glyph index last drawn per channel and digit; 255: nothing drawn yet.
    std::array<std::array<std::uint8_t, 4>, 4> m_shownGlyph{};
    bool m_dragging = false;
    QPointF m_dragFrom;
    double m_scale = 1.0;
    /// The red frames of the channels in alarm, T1 to T4.
    std::array<QFrame*, 4> m_alarmFrames{};
    /// Design geometry of each element, and the pixel size of each text element's font.
    std::vector<std::pair<QWidget*, QRect>> m_designGeometry;
    std::vector<std::pair<QLabel*, int>> m_designTextSize;
};

} // namespace thermo4::ui
