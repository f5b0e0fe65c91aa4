#include "skype/SkypeBridge.h"

namespace vocamo {

namespace {

// A client that answers its own notifications' follow-ups with more
// follow-ups would otherwise nest the parser without end; the protocol
// itself needs two levels.
constexpr int kMaxParseDepth = 8;

std::string_view UpToZero(std::string_view text)
{
    const size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

} // namespace

CSkypeBridge::CSkypeBridge(CMessageTarget &mainWindow, CSkypeTransport &transport,
                           std::chrono::milliseconds pass)
    : m_mainWindow(mainWindow), m_transport(transport), m_pass(pass)
{
    m_transport.SetSink(this);
    m_worker = std::thread([this] { SkypeWorkerThread(); });
}

CSkypeBridge::~CSkypeBridge()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_outbox.clear();
    }
    m_wake.notify_all();
    m_worker.join();
    m_transport.SetSink(nullptr);
    {
        std::lock_guard lock(m_mutex);
        m_state = INIT;
    }
    PostState();
}

void CSkypeBridge::Discover()
{
    m_transport.Discover();
}

int CSkypeBridge::OnAttach(const std::string &client, uint32_t status)
{
    switch (status) {
    case SKYPE_ATTACH_SUCCESS: {
        {
            std::lock_guard lock(m_mutex);
            m_skypeWindow = client;
            ++m_attachment;
            m_state = INIT;
            m_connStatus.clear();
            m_currentUserHandle.clear();
            m_userStatus.clear();
        }
        PostState();
        EndLostCall(client);
        break;
    }
    case SKYPE_ATTACH_PENDING_AUTHORIZATION:
    case SKYPE_ATTACH_REFUSED:
    case SKYPE_ATTACH_NOT_AVAILABLE:
        ForgetSkype();
        break;
    case SKYPE_ATTACH_API_AVAILABLE: {
        // A client came on the bus: the worker looks for it at once.
        {
            std::lock_guard lock(m_mutex);
            ForgetLocked();
            m_passDue = true;
        }
        PostState();
        break;
    }
    default:
        break;
    }
    // Also wakes a worker asleep for want of a client.
    m_wake.notify_all();
    return 1;
}

int CSkypeBridge::OnCopyData(const std::string &sender, std::string_view text)
{
    // Any program can send us a notification; only the attached client is
    // heard, and nobody else can knock it off.
    if (sender.empty() || sender != GetSkypeWindow())
        return 0;
    // A command sent on this thread has its answer delivered before the
    // send returns, and before anything else.
    if (m_answer && m_answer->empty())
        *m_answer = UpToZero(text);
    if (m_parseDepth >= kMaxParseDepth)
        return 1;
    ++m_parseDepth;
    ParseNotification(UpToZero(text));
    --m_parseDepth;
    return 1;
}

bool CSkypeBridge::SendCommand(std::string_view text)
{
    const std::string client = GetSkypeWindow();
    if (Transmit(text))
        return true;
    text = UpToZero(text);
    if (text.starts_with("CALL ") && text.size() <= kSkypeCommandMax && !client.empty())
        m_lostCall = {client, std::string(text.substr(5))};
    return false;
}

// One send, from either thread: the window's own commands or the worker's.
bool CSkypeBridge::Transmit(std::string_view text, Answer answer)
{
    text = UpToZero(text);
    if (text.empty())
        return false;
    if (text.size() > kSkypeCommandMax)
        return false; // never sent in part; the client is still there
    std::string client;
    {
        std::lock_guard lock(m_mutex);
        client = m_skypeWindow;
    }
    const bool sent =
        answer == Answer::Ignored ? m_transport.Post(client, text) : m_transport.Send(client, text);
    if (sent)
        return true;
    ForgetAfterFailedSend(client);
    return false;
}

void CSkypeBridge::ForgetAfterFailedSend(const std::string &client)
{
    {
        std::lock_guard lock(m_mutex);
        // A client that attached while this send was failing stays.
        if (m_skypeWindow != client)
            return;
        ForgetLocked();
    }
    PostState();
}

int32_t CSkypeBridge::GetState() const
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

void CSkypeBridge::SetState(int32_t value)
{
    {
        std::lock_guard lock(m_mutex);
        m_state = value;
    }
    PostState();
}

void CSkypeBridge::ForgetSkype()
{
    {
        std::lock_guard lock(m_mutex);
        ForgetLocked();
    }
    PostState();
}

void CSkypeBridge::ForgetLocked()
{
    ++m_attachment;
    m_state = INIT;
    m_connStatus.clear();
    m_currentUserHandle.clear();
    m_userStatus.clear();
    m_skypeWindow.clear();
}

void CSkypeBridge::PostState()
{
    m_mainWindow.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_STATE);
}

std::string CSkypeBridge::GetSkypeWindow() const
{
    std::lock_guard lock(m_mutex);
    return m_skypeWindow;
}

uint64_t CSkypeBridge::Attachment() const
{
    std::lock_guard lock(m_mutex);
    return m_attachment;
}

std::string CSkypeBridge::GetCallId() const
{
    return m_callsOf == Attachment() ? m_callId : std::string();
}

std::string CSkypeBridge::GetConnStatus() const
{
    std::lock_guard lock(m_mutex);
    return m_connStatus;
}

std::string CSkypeBridge::GetCurrentUserHandle() const
{
    std::lock_guard lock(m_mutex);
    return m_currentUserHandle;
}

std::string CSkypeBridge::GetUserStatus() const
{
    std::lock_guard lock(m_mutex);
    return m_userStatus;
}

} // namespace vocamo
