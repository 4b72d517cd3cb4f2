#pragma once

#include "app/TfrmAbout.h"
#include "app/TfrmAlarmEvents.h"
#include "app/TfrmSetupAlarms.h"
#include "files/TfrmOpenSave.h"
#include "graph/TfrmAnnoEdit.h"
#include "graph/TfrmGraph.h"
#include "graph/TfrmSetupRealTime.h"
#include "graph/TfrmSetupScale.h"
#include "logger/TfrmList.h"
#include "panel/TfrmPanel.h"
#include "ui/TfrmScope.h"

// The controls of each window, by their documented names.
#define THERMO4_GRAPH_CONTROLS(X)                                                                            \
    X(pnlDataSets)                                                                                           \
    X(Grid2)                                                                                                 \
    X(Splitter2) X(ToolBar1) X(ToolButton1) X(ToolButton2) X(ToolButton4) X(ToolButton5) X(ToolButton9)      \
        X(ToolButton15) X(clearDivider) X(tbntClr) X(tbntClrAction) X(UndoZoom) X(chkSplit) X(Button1)       \
            X(btnChangeScale) X(Button3) X(pnlGraphStatistic) X(txtStartTime) X(pnlSamplingRate)             \
                X(ComboBox1) X(ComboBox2) X(txtDataNo) X(Button2) X(pnlGraph) X(Graph1) X(Panel12)           \
                    X(Splitter1) X(pnlStatistic) X(txtMax) X(txtMin) X(txtAvg) X(annoDialogColor)
#define THERMO4_PANEL_CONTROLS(X)                                                                            \
    X(imgPanel)                                                                                              \
    X(digitImages)                                                                                           \
    X(Image17) X(Image18) X(lblT1) X(lblT2) X(lblT3) X(lblT4) X(lblT1_T2) X(T1_minus) X(T2_minus)            \
        X(T3_minus) X(T4_minus) X(T1_P) X(T2_P) X(T3_P) X(T4_P) X(imgT1C) X(imgT2C) X(imgT3C) X(imgT4C)      \
            X(imgT1F) X(imgT2F) X(imgT3F) X(imgT4F) X(lblMAX) X(lblMIN) X(lblAVG) X(imgHOLD) X(imgMEM)       \
                X(imgRecall) X(imgREC) X(imgFULL) X(imgType) X(imgK) X(imgJ) X(imgE) X(imgT) X(imgBat0)      \
                    X(imgBat1) X(imgBat2) X(imgBat3) X(imgAlarm) X(lblHi) X(lblLO) X(imgAutoOff)             \
                        X(imgblutooth) X(ingBlutoothLink) X(lblNoConnection) X(lcdBacklight) X(btnClose)     \
                            X(btnHOLD) X(btnCF) X(btnMMA) X(btnRec) X(btnRecall) X(btnMem) X(btnBackLight)
#define THERMO4_SCOPE_CONTROLS(X)                                                                            \
    X(Progress1)                                                                                             \
    X(SText1)                                                                                                \
    X(SText2) X(lblBytesReceived) X(lblTotalBytes) X(lblWaiting) X(GroupBox1) X(radAll) X(radNo)             \
        X(edtSelFrom) X(edtSelTo) X(BitBtn1) X(BitBtn2)
#define THERMO4_SETUP_REAL_TIME_CONTROLS(X)                                                                  \
    X(edtRealTimeNo) X(ComboBox1) X(ComboBox2) X(edtPeriod) X(btnOpenSingleSet) X(Button1)
#define THERMO4_SETUP_SCALE_CONTROLS(X) X(edtMin) X(edtMax) X(chkSave) X(btnOK) X(btnCancel)
#define THERMO4_ABOUT_CONTROLS(X) X(lblTitle) X(lblVersion) X(lblVersionNumber) X(btnOK)
#define THERMO4_ANNO_EDIT_CONTROLS(X) X(Edit1) X(btnOK) X(btnCancel)
#define THERMO4_OPEN_SAVE_CONTROLS(X) X(btnOpenSets) X(btnOpenSingleSet) X(Button1)
#define THERMO4_LIST_CONTROLS(X) X(Grid1)
#define THERMO4_ALARM_EVENTS_CONTROLS(X) X(Grid1) X(btnSave)
#define THERMO4_SETUP_ALARMS_CONTROLS(X) X(chkOn) X(edtHigh) X(edtLow) X(edtHold) X(edtHysteresis) X(chkSound)

namespace thermo4::ui {

/// How tests reach the controls the windows keep to themselves: widgets(window) is a copy of
/// the window's control pointers under their own names, e.g. widgets(graph).Graph1.
struct WindowTestAccess {
#define THERMO4_CONTROLS_OF(Bundle, W, LIST)                                                                 \
    struct Bundle {                                                                                          \
        using Window = W;                                                                                    \
        LIST(THERMO4_DECLARE)                                                                                \
    };                                                                                                       \
    static Bundle of(const W& w) {                                                                           \
        return {LIST(THERMO4_COPY)};                                                                         \
    }
#define THERMO4_DECLARE(name) decltype(Window::name) name;
#define THERMO4_COPY(name) w.name,

    THERMO4_CONTROLS_OF(Graph, TfrmGraph, THERMO4_GRAPH_CONTROLS)
    THERMO4_CONTROLS_OF(Panel, TfrmPanel, THERMO4_PANEL_CONTROLS)
    THERMO4_CONTROLS_OF(Scope, TfrmScope, THERMO4_SCOPE_CONTROLS)
    THERMO4_CONTROLS_OF(SetupRealTime, TfrmSetupRealTime, THERMO4_SETUP_REAL_TIME_CONTROLS)
    THERMO4_CONTROLS_OF(SetupScale, TfrmSetupScale, THERMO4_SETUP_SCALE_CONTROLS)
    THERMO4_CONTROLS_OF(About, TfrmAbout, THERMO4_ABOUT_CONTROLS)
    THERMO4_CONTROLS_OF(AnnoEdit, TfrmAnnoEdit, THERMO4_ANNO_EDIT_CONTROLS)
    THERMO4_CONTROLS_OF(OpenSave, TfrmOpenSave, THERMO4_OPEN_SAVE_CONTROLS)
    THERMO4_CONTROLS_OF(List, TfrmList, THERMO4_LIST_CONTROLS)
    THERMO4_CONTROLS_OF(AlarmEvents, TfrmAlarmEvents, THERMO4_ALARM_EVENTS_CONTROLS)
    THERMO4_CONTROLS_OF(SetupAlarms, TfrmSetupAlarms, THERMO4_SETUP_ALARMS_CONTROLS)

#undef THERMO4_COPY
#undef THERMO4_DECLARE
#undef THERMO4_CONTROLS_OF
};

using GraphWidgets = WindowTestAccess::Graph;
using PanelWidgets = WindowTestAccess::Panel;

/// The controls of a window, e.g. widgets(graph).Graph1.
template <class Window> auto widgets(const Window& w) -> decltype(WindowTestAccess::of(w)) {
    return WindowTestAccess::of(w);
}

} // namespace thermo4::ui

#undef THERMO4_GRAPH_CONTROLS
#undef THERMO4_PANEL_CONTROLS
#undef THERMO4_SCOPE_CONTROLS
#undef THERMO4_SETUP_REAL_TIME_CONTROLS
#undef THERMO4_SETUP_SCALE_CONTROLS
#undef THERMO4_ABOUT_CONTROLS
#undef THERMO4_ANNO_EDIT_CONTROLS
#undef THERMO4_OPEN_SAVE_CONTROLS
#undef THERMO4_LIST_CONTROLS
#undef THERMO4_ALARM_EVENTS_CONTROLS
#undef THERMO4_SETUP_ALARMS_CONTROLS
