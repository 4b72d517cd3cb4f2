#pragma once

#include "link/LinkState.h"
#include "session/MeterSession.h"

#include <QTimer>

#include <optional>

namespace thermo4::session {

/// What tests reach inside a session to set a situation up or look at it directly.
class MeterSessionTestAccess {
public:
    static link::LinkState& linkState(MeterSession& s) { return s.state(); }
    static QTimer* pollTimer(const MeterSession& s) { return s.pollTimer(); }
    /// Makes the session's USB or serial link current (None: no link), as a connection would.
    static void setLink(MeterSession& s, link::LinkKind kind) { s.state().setCurrent(s.linkOf(kind)); }
    /// Holds the link as an operation under way does, until the result is reset or destroyed;
    /// empty when the link is held already.
    static auto holdLink(MeterSession& s) { return s.hold(); }
};

} // namespace thermo4::session
