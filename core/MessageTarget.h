#pragma once

#include "core/Messages.h"

namespace vocamo {

// "Post (message, wParam, lParam) to the window": the one way the telephony,
// Skype and phonebook logic reach the main window. Callable from any thread,
// never blocks, delivered in posting order.
class CMessageTarget {
public:
    virtual ~CMessageTarget() = default;
    virtual void Post(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
};

} // namespace vocamo
