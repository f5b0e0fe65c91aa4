// CSkypeBridge: the worker that keeps the attachment alive.
#include "skype/SkypeBridge.h"

#include <vector>

namespace vocamo {

void CSkypeBridge::SkypeWorkerThread()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        lock.unlock();
        RunPass();
        lock.lock();
        // Pause until the next pass, sending the window's detail questions
        // as they come; destruction ends the pause at once.
        const auto next = std::chrono::steady_clock::now() + m_pass;
        while (!m_stop) {
            if (!m_outbox.empty()) {
                std::string question = std::move(m_outbox.front());
                m_outbox.pop_front();
                lock.unlock();
                Transmit(question);
                lock.lock();
                continue;
            }
            if (!m_wake.wait_until(lock, next, [this] { return m_stop || !m_outbox.empty(); }))
                break;
        }
    }
}

// Not attached: discover. Attached: ask for whatever status is missing, or
// for the friends while there are none, then ping.
void CSkypeBridge::RunPass()
{
    std::vector<const char *> commands;
    {
        std::lock_guard lock(m_mutex);
        if (m_skypeWindow.empty()) {
            commands.clear();
        } else if (!m_connStatus.empty() && !m_currentUserHandle.empty() &&
                   !m_userStatus.empty()) {
            if (m_friends.GetCount() == 0)
                commands.push_back("SEARCH FRIENDS");
            commands.push_back("PING");
        } else {
            commands = {"GET CONNSTATUS", "GET CURRENTUSERHANDLE", "GET USERSTATUS", "PING"};
        }
    }
    if (commands.empty()) {
        Discover();
        return;
    }
    // A failed send forgets the client; the rest of the pass still goes out
    // and fails the same way.
    for (const char *command : commands) {
        if (m_stop)
            return;
        Transmit(command);
    }
}

} // namespace vocamo
