#include "tests/support/RecordingMessageTarget.h"

#include <algorithm>

namespace vocamo {

void CRecordingMessageTarget::Post(unsigned message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard lock(m_mutex);
        m_messages.push_back({message, wParam, lParam});
    }
    m_posted.notify_all();
}

std::vector<PostedMessage> CRecordingMessageTarget::Messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<PostedMessage> CRecordingMessageTarget::Take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_messages, {});
}

size_t CRecordingMessageTarget::Count() const
{
    std::lock_guard lock(m_mutex);
    return m_messages.size();
}

void CRecordingMessageTarget::Clear()
{
    std::lock_guard lock(m_mutex);
    m_messages.clear();
}

bool CRecordingMessageTarget::WaitFor(const PostedMessage &wanted,
                                      std::chrono::milliseconds timeout) const
{
    return WaitUntil(
        [&](const std::vector<PostedMessage> &all) {
            return std::find(all.begin(), all.end(), wanted) != all.end();
        },
        timeout);
}

bool CRecordingMessageTarget::WaitUntil(
    const std::function<bool(const std::vector<PostedMessage> &)> &pred,
    std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_posted.wait_for(lock, timeout, [&] { return pred(m_messages); });
}

} // namespace vocamo
