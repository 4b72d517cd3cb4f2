#pragma once

#include "session/MeterSession.h"

#include <QTimer>

#include <optional>

namespace thermo4::session {

/// What tests reach inside a session to set a situation up or look at it directly.
class MeterSessionTestAccess {
public:
    static link::LinkState& linkState(MeterSession& s) { return s.m_state; }
    static QTimer* pollTimer(const MeterSession& s) { return s.m_pollTimer; }
    static const link::ReplyBuffer& reply(const MeterSession& s) { return s.m_state.reply; }
    static link::MeterSetup& meterSetup(MeterSession& s) { return s.m_meterSetup; }
    /// Makes the session's USB or serial link current (None: no link), as a connection would.
    static void setLink(MeterSession& s, link::LinkKind kind) {
        link::MeterLink* current = nullptr;
        if (kind == link::LinkKind::Usb)
            current = &s.m_usbLink;
        else if (kind == link::LinkKind::Serial)
            current = &s.m_serialLink;
        s.m_state.setCurrent(current);
    }
    /// Holds the link as an operation under way does, until the result is reset or destroyed;
    /// empty when the link is held already.
    static auto holdLink(MeterSession& s) { return s.hold(); }
};

} // namespace thermo4::session
