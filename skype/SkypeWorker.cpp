// CSkypeBridge: the worker that keeps the attachment alive.
#include "skype/SkypeBridge.h"

#include <vector>

namespace vocamo {

void CSkypeBridge::SkypeWorkerThread()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        m_passDue = false;
        lock.unlock();
        RunPass();
        lock.lock();
        // Pause until the next pass, sending the window's detail questions
        // as they come; destruction ends the pause at once. With no client
        // attached and none on the bus there is nothing to do until one
        // comes, and OnAttach says so.
        auto next = std::chrono::steady_clock::now() + m_pass;
        const auto woken = [this] { return m_stop || m_passDue || !m_outbox.empty(); };
        while (!m_stop && !m_passDue) {
            if (!m_outbox.empty()) {
                std::vector<std::string> questions;
                while (!m_outbox.empty() && questions.size() < kSkypeBatch) {
                    questions.push_back(std::move(m_outbox.front()));
                    m_outbox.pop_front();
                }
                lock.unlock();
                TransmitBatch(questions);
                lock.lock();
                if (std::chrono::steady_clock::now() >= next)
                    break; // the pass is due; the rest follows after it
                continue;
            }
            if (m_skypeWindow.empty() && !m_transport.MayHaveClient()) {
                m_wake.wait(lock, [&] {
                    return woken() || !m_skypeWindow.empty() || m_transport.MayHaveClient();
                });
                // A client found meanwhile gets its pass a pause from now.
                next = std::chrono::steady_clock::now() + m_pass;
                continue;
            }
            if (!m_wake.wait_until(lock, next, woken))
                break;
        }
    }
}

// Not attached: discover, when there may be someone to find. Attached: ask
// for whatever status is missing, or for the friends while there are none,
// then ping.
void CSkypeBridge::RunPass()
{
    std::vector<const char *> questions;
    bool attached;
    {
        std::lock_guard lock(m_mutex);
        attached = !m_skypeWindow.empty();
        const bool complete =
            !m_connStatus.empty() && !m_currentUserHandle.empty() && !m_userStatus.empty();
        if (attached && !complete)
            questions = {"GET CONNSTATUS", "GET CURRENTUSERHANDLE", "GET USERSTATUS"};
        else if (attached && m_friends.GetCount() == 0)
            questions.push_back("SEARCH FRIENDS");
    }
    if (!attached) {
        if (m_transport.MayHaveClient())
            Discover();
        return;
    }
    // A failed send forgets the client; the rest of the pass still goes out
    // and fails the same way.
    for (const char *question : questions) {
        if (m_stop)
            return;
        Transmit(question);
    }
    // The ping is not waited on; a client that answers it with an error has
    // taken our access away, which the transport tells at the next one.
    if (!m_stop)
        Transmit("PING", Answer::Ignored);
}

// The detail questions go out several at a time to the client attached
// now; each one that fails forgets that client, so the next batch goes to
// no client and fails at once, one forgetting per question.
void CSkypeBridge::TransmitBatch(std::vector<std::string> &questions)
{
    std::erase_if(questions, [](const std::string &text) {
        return text.empty() || text.size() > kSkypeCommandMax;
    });
    if (questions.empty())
        return;
    std::string client;
    {
        std::lock_guard lock(m_mutex);
        client = m_skypeWindow;
    }
    const std::vector<bool> accepted = m_transport.SendBatch(client, questions);
    for (const bool ok : accepted) {
        if (!ok)
            ForgetAfterFailedSend(client);
    }
}

} // namespace vocamo
