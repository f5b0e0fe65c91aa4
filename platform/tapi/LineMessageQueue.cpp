#include "platform/tapi/LineMessageQueue.h"

#include <chrono>

namespace vocamo {

void CLineMessageQueue::Push(const LINEMESSAGE &message)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        if (m_messages.size() >= kMaxMessages)
            m_messages.pop_front();
        m_messages.push_back(message);
    }
    m_arrived.notify_one();
}

CLineMessageQueue::WaitResult CLineMessageQueue::Wait(LINEMESSAGE &message, DWORD timeoutMs)
{
    std::unique_lock lock(m_mutex);
    const auto ready = [&] { return m_closed || !m_messages.empty(); };
    if (timeoutMs == INFINITE)
        m_arrived.wait(lock, ready);
    else if (!m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return WaitResult::TimedOut;
    if (m_closed)
        return WaitResult::Closed;
    message = m_messages.front();
    m_messages.pop_front();
    return WaitResult::Message;
}

void CLineMessageQueue::Close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_messages.clear();
    }
    m_arrived.notify_all();
}

} // namespace vocamo
