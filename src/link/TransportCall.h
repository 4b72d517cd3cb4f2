#pragma once

#include <type_traits>
#include <utility>

namespace thermo4::link {

/// Runs body and returns what it returns. A transport that throws (some backends do when the
/// device is torn out mid-call) counts as a failed call: onThrow() is returned instead, so no
/// transaction takes the program down.
template <typename Body, typename OnThrow>
std::invoke_result_t<Body&> Guarded(Body&& body, OnThrow&& onThrow) {
    try {
        return body();
    } catch (...) {
        return std::forward<OnThrow>(onThrow)();
    }
}

/// Runs one transport call and returns its code (0 is success); a throw is -1.
template <typename Call> int CallTransport(Call&& call) {
    return Guarded(std::forward<Call>(call), [] { return -1; });
}

} // namespace thermo4::link
