#pragma once

#include <chrono>

namespace vocamo {

// The provider's waits, fixed in the program; tests shorten them.
struct ModemTimeouts {
    // A port that does not answer ATZ within this is not a modem.
    std::chrono::milliseconds probe{1000};
    // Each command of a dialogue must be answered within this.
    std::chrono::milliseconds command{2000};
    // An offered call that has not rung for this long was given up by the caller.
    std::chrono::milliseconds ringGiveUp{10000};
};

} // namespace vocamo
