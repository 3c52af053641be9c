#pragma once

// The one rule for every function the host calls (ModuleInit, ModuleDeinit, the chain callback,
// the window and dialog procedures): no C++ exception leaves it. The host may be built with
// another compiler and cannot unwind our frames, and a failed allocation must not end the
// simulator. Each of those functions runs its body through GuardHostCall; what a failure leaves
// behind is decided where the body is written (no module object, an empty database, a message
// handed on to the host's procedure).

namespace halvern {

// Runs `body`; true when it returned, false when it threw.
template <typename Body>
bool GuardHostCall(Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

// Runs `body` and gives its result; `onFailure` when it threw.
template <typename Result, typename Body>
Result GuardHostCall(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

}  // namespace halvern
