#pragma once

#include "platform/tapi/Tapi.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace vocamo {

// The line messages of one line application, first in first out, for
// lineGetMessage. Closing it (lineShutdown) wakes every waiter at once.
class CLineMessageQueue {
public:
    enum class WaitResult { Message, TimedOut, Closed };

    // Bounded, so an application that stops reading cannot grow it forever;
    // the oldest message goes first.
    static constexpr size_t kMaxMessages = 4096;

    void Push(const LINEMESSAGE &message);
    WaitResult Wait(LINEMESSAGE &message, DWORD timeoutMs);
    void Close();

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<LINEMESSAGE> m_messages;
    bool m_closed = false;
};

} // namespace vocamo
