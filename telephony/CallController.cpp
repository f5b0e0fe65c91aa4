#include "telephony/CallController.h"

#include "core/Messages.h"
#include "phonebook/Phonebook.h"
#include "telephony/TapiNames.h"
#include "telephony/Trace.h"

#include <utility>

namespace vocamo {

namespace {

CallEnd EndOfDisconnect(DWORD mode)
{
    switch (mode) {
    case 0:
        return CallEnd::None;
    case LINEDISCONNECTMODE_NORMAL:
        return CallEnd::Ended;
    case LINEDISCONNECTMODE_BUSY:
    case LINEDISCONNECTMODE_REJECT:
        return CallEnd::Busy;
    case LINEDISCONNECTMODE_NOANSWER:
        return CallEnd::NoAnswer;
    case LINEDISCONNECTMODE_NODIALTONE:
        return CallEnd::NoDialTone;
    case LINEDISCONNECTMODE_BADADDRESS:
        return CallEnd::InvalidNumber;
    default:
        return CallEnd::Failed;
    }
}

} // namespace

CCallController::CCallController(CMessageTarget &window, std::string exeDir,
                                 CTapiClient::Settings settings,
                                 std::chrono::milliseconds lineRetry)
    : m_window(window), m_exeDir(std::move(exeDir)), m_settings(std::move(settings)),
      m_lineRetry(lineRetry)
{
    Initialize();
}

CCallController::~CCallController()
{
    // Destroying the client drops any call; the window still hears INIT.
    if (m_client) {
        DestroyClient();
        SetState(INIT);
    }
}

void CCallController::DestroyClient()
{
    // The client's destructor stops its event thread, so nothing it started
    // outlives it; events it already posted reach the next client's controller.
    m_client.reset();
}

void CCallController::Initialize()
{
    if (!m_client) {
        m_client = std::make_unique<CTapiClient>(m_window, m_settings);
        const int32_t result = m_client->OpenLine();
        if (result != 0) {
            Trace(LineErrorName(static_cast<uint32_t>(result)));
            SetState(INIT);
            RetryLater();
        } else {
            SetState(NORMAL);
        }
    }
    LoadPhonebook();
}

void CCallController::RetryLater()
{
    // A later reset or retry overtakes the retries still waiting.
    ++m_retriesPending;
    m_window.PostAfter(m_lineRetry, WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_LINE_RETRY);
}

void CCallController::Reset()
{
    // A port that failed its probe may only have been slow once.
    if (m_state == INIT && m_settings.probeCache)
        m_settings.probeCache->ForgetFailed();
    if (m_client) {
        DestroyClient();
        SetState(INIT);
    }
    Initialize();
    m_number.clear();
    m_name.clear();
    m_farEndRinging = false;
}

void CCallController::ReportEnd(CallEnd reason)
{
    m_callEnd = LineCallEnd{reason, m_incoming, m_number, m_name};
    m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_CALL_ENDED);
}

void CCallController::Dial(std::string number)
{
    const bool wasNormal = m_state == NORMAL;
    const int32_t result = m_client ? m_client->MakeCall(number) : LINEERR_UNINITIALIZED;
    if (result != 0) {
        Trace(LineErrorName(static_cast<uint32_t>(result)));
        m_incoming = false;
        m_number = number;
        m_name = FindNameForNumber(number);
        ReportEnd(result == LINEERR_INVALADDRESS ? CallEnd::InvalidNumber : CallEnd::Failed);
        Reset();
        m_window.Post(WM_RESTORE_MAIN, 0, 0);
        return;
    }
    // A call placed over another one counts as connected at once; queued
    // ahead of the notifications below, so it is handled right after them.
    if (!wasNormal)
        m_window.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_CONNECTED);
    SetState(DIALING);
    m_incoming = false;
    m_farEndRinging = false;
    m_number = std::move(number);
    m_name = FindNameForNumber(m_number);
    if (m_name.empty())
        m_name = "Unknown";
    m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_PARTY);
}

void CCallController::Answer()
{
    const int32_t result = m_client ? m_client->AnswerCall() : LINEERR_UNINITIALIZED;
    if (result != 0) {
        Trace(LineErrorName(static_cast<uint32_t>(result)));
        Reset();
    }
    // On success the state stays RINGING until the line reports the connection.
}

int CCallController::OnTapiEvent(WPARAM /*source*/, LPARAM code)
{
    switch (code) {
    case EVT_LINEDEVSTATE:
        if (m_state == RINGING)
            m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_RING);
        break;
    case EVT_CONNECTED: {
        if (!m_client)
            break;
        // Without a speakerphone the call is the handset's; it is connected
        // all the same.
        if (const int32_t result = m_client->OpenPhone(); result != 0)
            Trace(PhoneErrorName(static_cast<uint32_t>(result)));
        SetState(m_client->HasCall() ? ANSWERING : INIT);
        break;
    }
    case EVT_IDLE:
        // A disconnection, the idle state and the line's closing each report
        // an end, in any order: the first resets, and the rest come from a
        // client that is gone by then.
        if (!m_client || !m_client->HasEnded())
            break;
        if (IsCallInProgress(m_state))
            ReportEnd(EndOfDisconnect(m_client->DisconnectMode()));
        Reset();
        if (m_client && m_client->HasCall())
            m_window.Post(WM_RESTORE_MAIN, 0, 0);
        break;
    case EVT_RINGBACK:
        if (m_state == DIALING && !m_farEndRinging) {
            m_farEndRinging = true;
            m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_CALL_PROGRESS);
        }
        break;
    case EVT_OFFERING:
        m_incoming = true;
        SetState(RINGING);
        m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_RING);
        break;
    case EVT_CALLERID:
        if (!m_client)
            break;
        m_number = m_client->GetCallerId();
        if (!m_number.empty()) {
            // A caller not in the phonebook stays nameless, unlike a dialled one.
            m_name = FindNameForNumber(m_number);
            m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_PARTY);
        }
        break;
    case EVT_BOOKMARKCHANGED:
        LoadPhonebook();
        break;
    case EVT_LINE_RETRY: {
        if (m_retriesPending == 0 || --m_retriesPending > 0 || m_state != INIT)
            break;
        // Only the line is tried, until it opens. Without one the phonebook
        // is not shown, and reloading a big one, and its rows, every period
        // would keep an idle phone busy.
        if (m_settings.probeCache)
            m_settings.probeCache->ForgetFailed();
        DestroyClient();
        m_client = std::make_unique<CTapiClient>(m_window, m_settings);
        if (const int32_t result = m_client->OpenLine(); result != 0) {
            Trace(LineErrorName(static_cast<uint32_t>(result)));
            RetryLater();
            break;
        }
        Reset(); // as a hang-up: the line afresh, and the phonebook
        break;
    }
    default:
        Trace(EventName(code));
        break;
    }
    return 1;
}

int CCallController::GetBookmarkCount() const
{
    return m_phonebook ? m_phonebook->GetCount() : 0;
}

CBookmark *CCallController::GetBookmark(uint32_t index) const
{
    return m_phonebook ? m_phonebook->FindByIndex(index) : nullptr;
}

std::string CCallController::FindNameForNumber(std::string number) const
{
    const CBookmark *entry = m_phonebook ? m_phonebook->FindByNumber(number) : nullptr;
    return entry ? entry->name : std::string();
}

void CCallController::SetState(int32_t state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_CALL_STATE);
    Trace(StateName(state));
}

void CCallController::LoadPhonebook()
{
    // The old list and every pointer into it go with the load; the window
    // rebuilds its rows on the notification below.
    m_phonebook = LoadBookmarks(m_phonebookFile, BookmarkPathFor(m_exeDir));
    if (!m_phonebook)
        m_phonebook = std::make_unique<CBookmarkList>();
    m_window.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_BOOKMARKS_LOADED);
}

} // namespace vocamo
