#include "tests/support/MemorySkypeTransport.h"

namespace vocamo {

CMemorySkypeTransport::CMemorySkypeTransport() : m_windowThread(std::this_thread::get_id()) {}

void CMemorySkypeTransport::SetSink(CSkypeTransportSink *sink)
{
    m_sink = sink;
}

void CMemorySkypeTransport::Discover()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_discovers;
    }
    m_changed.notify_all();
}

bool CMemorySkypeTransport::Send(const std::string &client, std::string_view text)
{
    const bool onWindow = std::this_thread::get_id() == m_windowThread;
    bool accepted;
    Responder responder;
    {
        std::lock_guard lock(m_mutex);
        m_sent.push_back({client, std::string(text), onWindow});
        accepted = m_answering && !client.empty() && client == m_client;
        responder = m_responder;
    }
    m_changed.notify_all();
    if (!accepted)
        return false;
    const std::string answer = responder ? responder(text) : std::string();
    if (answer.empty())
        return true;
    if (onWindow) {
        if (m_sink)
            m_sink->OnCopyData(client, answer);
    } else {
        std::lock_guard lock(m_mutex);
        m_queued.emplace_back(client, answer);
    }
    return true;
}

void CMemorySkypeTransport::SetClient(std::string name)
{
    std::lock_guard lock(m_mutex);
    m_client = std::move(name);
}

void CMemorySkypeTransport::SetAnswering(bool answering)
{
    std::lock_guard lock(m_mutex);
    m_answering = answering;
}

void CMemorySkypeTransport::SetResponder(Responder responder)
{
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

int CMemorySkypeTransport::Attach(const std::string &client, uint32_t status)
{
    return m_sink ? m_sink->OnAttach(client, status) : 0;
}

int CMemorySkypeTransport::Notify(const std::string &sender, std::string_view text)
{
    return m_sink ? m_sink->OnCopyData(sender, text) : 1;
}

int CMemorySkypeTransport::DeliverQueued()
{
    std::vector<std::pair<std::string, std::string>> queued;
    {
        std::lock_guard lock(m_mutex);
        queued.swap(m_queued);
    }
    for (const auto &[sender, text] : queued)
        Notify(sender, text);
    return static_cast<int>(queued.size());
}

std::vector<CMemorySkypeTransport::Sent> CMemorySkypeTransport::SentCommands() const
{
    std::lock_guard lock(m_mutex);
    return m_sent;
}

std::vector<std::string> CMemorySkypeTransport::SentTexts(bool fromWindow) const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::string> texts;
    for (const Sent &sent : m_sent) {
        if (sent.fromWindow == fromWindow)
            texts.push_back(sent.text);
    }
    return texts;
}

void CMemorySkypeTransport::ClearSent()
{
    std::lock_guard lock(m_mutex);
    m_sent.clear();
}

int CMemorySkypeTransport::DiscoverCount() const
{
    std::lock_guard lock(m_mutex);
    return m_discovers;
}

bool CMemorySkypeTransport::WaitUntil(
    const std::function<bool(const std::vector<Sent> &, int)> &pred,
    std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return pred(m_sent, m_discovers); });
}

} // namespace vocamo
