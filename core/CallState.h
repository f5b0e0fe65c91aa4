#pragma once

#include <cstdint>

namespace vocamo {

// One scale for the modem line, the Skype line and the window: 6 to 8 mean
// a call in progress.
enum CallState : int32_t {
    INIT = 0,
    NORMAL = 5,
    DIALING = 6,
    RINGING = 7,
    ANSWERING = 8,
};

inline bool IsCallInProgress(int32_t state)
{
    return state >= DIALING && state <= ANSWERING;
}

// The two telephone lines; also the receivers (wParam) of WM_APP_EVENT.
enum LineNumber : int32_t {
    LINE_NONE = 0,
    LINE_SKYPE = 2,
    LINE_MODEM = 3,
};

} // namespace vocamo
