#pragma once

#include "core/CallState.h"
#include "core/Messages.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace vocamo {

// A call's progress and end, as the lines report them to the window.
constexpr LPARAM EVT_CALL_ENDED = 35;    // window: a line's call ended; the line keeps why
constexpr LPARAM EVT_CALL_PROGRESS = 36; // window: the dialled party's phone rings
constexpr LPARAM EVT_RINGBACK = 37;      // controller: the line hears the far end ring

// How a call ended, in the user's words.
enum class CallEnd : int32_t {
    None = 0,      // not over, or the line gave no reason
    Ended,         // talked, then hung up by either side
    Cancelled,     // given up by the caller before anyone answered
    Busy,          // the dialled party is busy or turned the call down
    NoAnswer,      // nobody answered the dialled party's phone
    NoDialTone,    // no line to dial on
    InvalidNumber, // refused before anything was dialled
    Failed,        // the line or the network failed
    Missed,        // rang here and nobody answered
};

// What the user is told, from what the line reported and how far the call
// came: a call that rang here and was never answered is missed whatever
// ended it; one that was talked on ended, unless the line broke under it.
inline CallEnd FinalEnd(CallEnd reported, bool incoming, bool connected)
{
    if (connected)
        return reported == CallEnd::Failed ? CallEnd::Failed : CallEnd::Ended;
    if (incoming)
        return CallEnd::Missed;
    switch (reported) {
    case CallEnd::None:
    case CallEnd::Ended:
        return CallEnd::Cancelled;
    case CallEnd::Missed:
        return CallEnd::NoAnswer;
    default:
        return reported;
    }
}

// "02:35", or "1:02:35" from an hour on.
inline std::string CallClock(std::chrono::seconds length)
{
    const long long s = length.count() < 0 ? 0 : length.count();
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld", s / 60, s % 60);
    return text;
}

inline std::string CallEndText(CallEnd end, std::chrono::seconds talked)
{
    switch (end) {
    case CallEnd::Ended:
        return "Call ended " + CallClock(talked);
    case CallEnd::Cancelled:
        return "Call ended";
    case CallEnd::Busy:
        return "Busy";
    case CallEnd::NoAnswer:
        return "No answer";
    case CallEnd::NoDialTone:
        return "No dial tone";
    case CallEnd::InvalidNumber:
        return "Not a valid number";
    case CallEnd::Failed:
        return "Call failed";
    case CallEnd::Missed:
        return "Missed call";
    case CallEnd::None:
        break;
    }
    return {};
}

// One call on either line, from its start to its end: what a call history
// keeps.
struct CallSummary {
    using Time = std::chrono::system_clock::time_point;

    int32_t line = LINE_NONE;
    bool incoming = false;
    std::string number; // the number, or the Skype handle
    std::string name;   // empty when nobody is known by it
    Time start{};
    std::optional<Time> answered;
    Time end{};
    CallEnd outcome = CallEnd::None;
};

// What a line knows of its last call's end when it reports it.
struct LineCallEnd {
    CallEnd reason = CallEnd::None;
    bool incoming = false;
    std::string number;
    std::string name;
};

} // namespace vocamo
