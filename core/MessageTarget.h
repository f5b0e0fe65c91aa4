#pragma once

#include "core/Messages.h"

#include <chrono>

namespace vocamo {

// "Post (message, wParam, lParam) to the window": the one way the telephony,
// Skype and phonebook logic reach the main window. Callable from any thread,
// never blocks, delivered in posting order.
class CMessageTarget {
public:
    virtual ~CMessageTarget() = default;
    virtual void Post(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
    // Posts once `delay` has passed, from the window thread's own timers:
    // a wait takes no thread. Called on the window thread only.
    virtual void PostAfter(std::chrono::milliseconds delay, unsigned message, WPARAM wParam,
                           LPARAM lParam) = 0;
};

} // namespace vocamo
