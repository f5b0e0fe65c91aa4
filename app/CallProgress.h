#pragma once

#include "core/CallEnd.h"

#include <chrono>
#include <string>
#include <utility>

namespace vocamo {

// The one call the popup speaks of, on either line, from the first state the
// window sees of it to its end; and the popup's words for it. Window thread.
class CCallProgress {
public:
    using Steady = std::chrono::steady_clock;

    bool IsActive() const { return m_active; }
    // A call was shown, and is going on or has ended.
    bool HasCall() const { return m_call.line != LINE_NONE; }
    int32_t Line() const { return m_call.line; }
    bool IsIncoming() const { return m_call.incoming; }
    bool IsConnected() const { return m_call.answered.has_value(); }
    // Ringing here, not yet answered.
    bool IsOffered() const { return m_active && m_call.incoming && !IsConnected(); }

    void Start(int32_t line, bool incoming)
    {
        m_call = CallSummary{};
        m_call.line = line;
        m_call.incoming = incoming;
        m_call.start = std::chrono::system_clock::now();
        m_active = true;
    }
    void SetParty(std::string number, std::string name)
    {
        m_call.number = std::move(number);
        m_call.name = std::move(name);
    }
    void Connect()
    {
        if (IsConnected())
            return;
        m_call.answered = std::chrono::system_clock::now();
        m_connectedAt = Steady::now();
    }
    // Ends the call with what its line reported; the summary is what the
    // user is told and what a history keeps.
    CallSummary Finish(CallEnd reported)
    {
        m_active = false;
        m_call.end = std::chrono::system_clock::now();
        m_call.outcome = FinalEnd(reported, m_call.incoming, IsConnected());
        m_talked = Talked();
        return m_call;
    }

    // Who the call is with, in one line: the name where one is known.
    std::string Who() const
    {
        if (!m_call.name.empty() && m_call.name != "Unknown")
            return m_call.name;
        return m_call.number.empty() ? std::string("Unknown") : m_call.number;
    }
    // A call ringing here shows number and name, as it always has (the
    // refresh ends in a line break); any other call who it is with and how
    // far it has come.
    std::string Text(bool farEndRinging, bool refresh) const
    {
        if (!m_active)
            return Who() + "\n" + CallEndText(m_call.outcome, m_talked);
        if (IsOffered())
            return m_call.number.empty()
                       ? std::string("Unknown")
                       : m_call.number + "\n" + m_call.name + (refresh ? "\n" : "");
        if (IsConnected())
            return Who() + "\nConnected " + CallClock(Talked());
        return Who() + (farEndRinging ? "\nRinging" : "\nCalling...");
    }

private:
    std::chrono::seconds Talked() const
    {
        if (!IsConnected())
            return {};
        return std::chrono::duration_cast<std::chrono::seconds>(Steady::now() - m_connectedAt);
    }

    CallSummary m_call;
    bool m_active = false;
    Steady::time_point m_connectedAt{};
    std::chrono::seconds m_talked{};
};

} // namespace vocamo
