#include "platform/tapi/ModemLine.h"

#include "platform/tapi/VarStruct.h"

#include <cstring>
#include <string_view>

namespace vocamo {

namespace {

constexpr size_t kMaxCallerIdText = 64;
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
// What a modem may run into a caller-ID line of its own.
constexpr std::string_view kResultWords[] = {"OK",      "ERROR",      "RING",      "BUSY",   "VCON",
                                             "CONNECT", "NO CARRIER", "NO ANSWER", "NO DIAL"};

// The length of the well-formed UTF-8 character that s starts with; 0 when
// there is none.
size_t Utf8Length(std::string_view s)
{
    const auto at = [s](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80)
        return 1;
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || s.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((at(i) & 0xC0) != 0x80)
            return 0;
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((lead == 0xE0 && at(1) < 0xA0) || (lead == 0xED && at(1) > 0x9F) ||
        (lead == 0xF0 && at(1) < 0x90) || (lead == 0xF4 && at(1) > 0x8F))
        return 0;
    return length;
}

// Caller-ID values go into the call's record and, from there, into the
// window: printable characters of valid UTF-8 only, and not without end.
std::string CleanCallerIdValue(const std::string &value)
{
    std::string printable;
    for (char c : value)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            printable.push_back(c);
    std::string clean;
    for (size_t i = 0; i < printable.size();) {
        const size_t length = Utf8Length(std::string_view(printable).substr(i));
        const std::string_view piece =
            length ? std::string_view(printable).substr(i, length) : kReplacement;
        if (clean.size() + piece.size() > kMaxCallerIdText)
            break;
        clean.append(piece);
        i += length ? length : 1;
    }
    return clean;
}

// The number a caller-ID value gives: what comes before any result word run
// into it, and nothing when that holds no digit.
std::string NumberIn(std::string value)
{
    for (std::string_view word : kResultWords)
        value = value.substr(0, value.find(word));
    value.erase(value.find_last_not_of(' ') + 1);
    return value.find_first_of("0123456789") == std::string::npos ? std::string() : value;
}

} // namespace

CModemLine::CModemLine(std::shared_ptr<CModemPort> port, HLINE hLine, DWORD deviceId,
                       DWORD_PTR callbackInstance, std::shared_ptr<CLineMessageQueue> queue,
                       HandleSource newCallHandle, ModemTimeouts timeouts)
    : m_port(std::move(port)), m_hLine(hLine), m_deviceId(deviceId),
      m_callbackInstance(callbackInstance), m_queue(std::move(queue)),
      m_newCallHandle(std::move(newCallHandle)), m_timeouts(timeouts)
{
}

CModemLine::~CModemLine()
{
    m_port->SetSink(nullptr);
}

LONG CModemLine::Initialize()
{
    m_port->SetSink(this);
    const auto t = m_timeouts.command;
    for (const char *cmd : {"ATZ", "ATE0", "AT+FCLASS=8"}) {
        const CModemPort::Reply reply = m_port->Command(cmd, t);
        if (!reply.answered || !reply.ok)
            return LINEERR_OPERATIONFAILED;
    }
    // Caller ID is welcome but not required; older modems know only #CID.
    if (!m_port->Command("AT+VCID=1", t).ok)
        m_port->Command("AT#CID=1", t);
    return 0;
}

void CModemLine::SetStatusMessages(DWORD lineStates)
{
    std::lock_guard lock(m_mutex);
    m_lineStates = lineStates;
}

CModemLine::Call *CModemLine::Active()
{
    if (m_calls.empty() || m_calls.back().state == LINECALLSTATE_IDLE)
        return nullptr;
    return &m_calls.back();
}

CModemLine::Call *CModemLine::Find(HCALL hCall)
{
    for (Call &call : m_calls)
        if (call.handle == hCall)
            return &call;
    return nullptr;
}

bool CModemLine::OwnsCall(HCALL hCall) const
{
    std::lock_guard lock(m_mutex);
    for (const Call &call : m_calls)
        if (call.handle == hCall)
            return true;
    return false;
}

bool CModemLine::IsGone() const
{
    std::lock_guard lock(m_mutex);
    return m_gone;
}

void CModemLine::Post(DWORD hDevice, DWORD messageId, DWORD p1, DWORD p2, DWORD p3)
{
    m_queue->Push(LINEMESSAGE{hDevice, messageId, m_callbackInstance, p1, p2, p3});
}

void CModemLine::SetCallState(Call &call, DWORD state, DWORD mode, DWORD privilege)
{
    if (call.state == state)
        return;
    call.state = state;
    Post(call.handle, LINE_CALLSTATE, state, mode, privilege);
}

void CModemLine::EndCall(Call &call, DWORD disconnectMode, bool thenIdle)
{
    m_pending = Pending::None;
    SetCallState(call, LINECALLSTATE_DISCONNECTED, disconnectMode);
    if (thenIdle)
        SetCallState(call, LINECALLSTATE_IDLE);
}

LONG CModemLine::MakeCall(const std::string &dialString, HCALL *lphCall, LONG requestId)
{
    bool hangUpFirst = false;
    HCALL handle = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_gone || m_closed)
            return LINEERR_INVALLINEHANDLE;
        if (Active() || m_pending != Pending::None)
            return LINEERR_CALLUNAVAIL;
        hangUpFirst = m_offHook;
    }
    // The other party hung up on the last call while the modem stayed off hook.
    if (hangUpFirst)
        HangUpModem();
    {
        std::lock_guard lock(m_mutex);
        if (Active())
            return LINEERR_CALLUNAVAIL;
        Call call;
        call.handle = handle = m_newCallHandle();
        call.origin = LINECALLORIGIN_OUTBOUND;
        call.dialled = dialString;
        m_calls.push_back(call);
        m_pending = Pending::Dial;
        m_offHook = true;
    }
    if (!m_port->Send("ATD" + dialString + "\r", m_timeouts.command)) {
        std::lock_guard lock(m_mutex);
        m_pending = Pending::None;
        m_offHook = false;
        if (Call *call = Find(handle))
            call->state = LINECALLSTATE_IDLE;
        return LINEERR_OPERATIONFAILED;
    }
    *lphCall = handle;
    std::lock_guard lock(m_mutex);
    if (Call *call = Find(handle)) {
        if (call->state == 0)
            SetCallState(*call, LINECALLSTATE_DIALING);
    }
    Post(m_hLine, LINE_REPLY, static_cast<DWORD>(requestId), 0);
    return requestId;
}

LONG CModemLine::Answer(HCALL hCall, LONG requestId)
{
    {
        std::lock_guard lock(m_mutex);
        Call *call = Find(hCall);
        if (!call || m_gone || m_closed)
            return LINEERR_INVALCALLHANDLE;
        if (call->state != LINECALLSTATE_OFFERING || m_pending != Pending::None || call != Active())
            return LINEERR_INVALCALLSTATE;
        m_pending = Pending::Answer;
        m_answerSent = Clock::now();
        m_offHook = true;
    }
    m_port->Wake(); // the answer has a deadline of its own now
    if (!m_port->Send("AT+VLS=1\r", m_timeouts.command)) {
        std::lock_guard lock(m_mutex);
        m_pending = Pending::None;
        m_offHook = false;
        return LINEERR_OPERATIONFAILED;
    }
    std::lock_guard lock(m_mutex);
    Post(m_hLine, LINE_REPLY, static_cast<DWORD>(requestId), 0);
    return requestId;
}

void CModemLine::HangUpModem()
{
    // End any audio stream first; then on hook, the plain way if voice fails.
    m_port->Send(std::string{DLE, '!'}, m_timeouts.command);
    if (!m_port->Command("AT+VLS=0", m_timeouts.command).ok)
        m_port->Command("ATH", m_timeouts.command);
    std::lock_guard lock(m_mutex);
    m_offHook = false;
}

LONG CModemLine::Drop(HCALL hCall, LONG requestId)
{
    bool refuse = false;
    bool hangUp = false;
    {
        std::lock_guard lock(m_mutex);
        Call *call = Find(hCall);
        if (!call || m_gone || m_closed)
            return LINEERR_INVALCALLHANDLE;
        if (call->state == LINECALLSTATE_IDLE)
            return LINEERR_INVALCALLSTATE;
        // Refused: picked up and put down at once, so that the caller hears
        // the line end. Rings on their way meanwhile are not a new call.
        if (call->state == LINECALLSTATE_OFFERING && m_pending == Pending::None)
            refuse = m_ignoreRings = m_offHook = true;
        m_pending = Pending::None;
        hangUp = m_offHook;
    }
    const bool pickedUp = refuse && m_port->Command("AT+VLS=1", m_timeouts.command, true).ok;
    if (hangUp)
        HangUpModem();
    std::lock_guard lock(m_mutex);
    // Picked up, the call is over and the next ring is a new caller's; a
    // modem that would not pick up rings on until the caller gives up.
    if (pickedUp)
        m_ignoreRings = false;
    if (Call *call = Find(hCall))
        SetCallState(*call, LINECALLSTATE_IDLE);
    Post(m_hLine, LINE_REPLY, static_cast<DWORD>(requestId), 0);
    return requestId;
}

LONG CModemLine::GetCallInfo(HCALL hCall, LINECALLINFO *info)
{
    std::lock_guard lock(m_mutex);
    const Call *found = Find(hCall);
    if (!found || m_gone)
        return LINEERR_INVALCALLHANDLE;
    const Call call = *found;
    DWORD needed = sizeof(LINECALLINFO);
    for (const std::string *s : {&call.callerId, &call.callerName, &call.dialled})
        if (!s->empty())
            needed += static_cast<DWORD>(s->size() + 1);
    if (!FixedPartFits(info, sizeof(LINECALLINFO), needed))
        return LINEERR_STRUCTURETOOSMALL;
    const DWORD total = info->dwTotalSize;
    std::memset(reinterpret_cast<unsigned char *>(info) + 12, 0, sizeof(LINECALLINFO) - 12);
    info->hLine = m_hLine;
    info->dwLineDeviceID = m_deviceId;
    info->dwBearerMode = LINEBEARERMODE_VOICE;
    info->dwMediaMode = LINEMEDIAMODE_AUTOMATEDVOICE;
    info->dwCallID = call.handle;
    info->dwCallStates = LINECALLSTATE_IDLE | LINECALLSTATE_OFFERING | LINECALLSTATE_DIALING |
                         LINECALLSTATE_RINGBACK | LINECALLSTATE_BUSY | LINECALLSTATE_CONNECTED |
                         LINECALLSTATE_DISCONNECTED;
    info->dwOrigin = call.origin;
    info->dwReason = 1; // LINECALLREASON_DIRECT
    info->dwNumOwners = 1;
    info->dwCallerIDFlags = call.callerIdFlags;
    info->dwCalledIDFlags =
        call.dialled.empty() ? LINECALLPARTYID_UNKNOWN : LINECALLPARTYID_ADDRESS;
    info->dwConnectedIDFlags = LINECALLPARTYID_UNKNOWN;
    info->dwRedirectionIDFlags = LINECALLPARTYID_UNKNOWN;
    info->dwRedirectingIDFlags = LINECALLPARTYID_UNKNOWN;
    (void)total;
    FillVarStruct(info, sizeof(LINECALLINFO),
                  {{&call.callerId, &info->dwCallerIDSize, &info->dwCallerIDOffset},
                   {&call.callerName, &info->dwCallerIDNameSize, &info->dwCallerIDNameOffset},
                   {&call.dialled, &info->dwCalledIDSize, &info->dwCalledIDOffset}});
    return 0;
}

void CModemLine::Close()
{
    m_port->SetSink(nullptr);
    bool hangUp = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_closed)
            return;
        m_closed = true;
        hangUp = m_offHook && !m_gone;
        for (Call &call : m_calls)
            call.state = LINECALLSTATE_IDLE;
        m_pending = Pending::None;
    }
    if (hangUp)
        HangUpModem();
}

void CModemLine::OnRing()
{
    m_lastRing = Clock::now();
    if (m_ignoreRings)
        return;
    Call *active = Active();
    if (active && active->state != LINECALLSTATE_OFFERING)
        return; // a ring cannot belong to a call being dialled or talked on
    ++m_rings;
    if (!active)
        m_rings = 1;
    if (m_lineStates & LINEDEVSTATE_RINGING)
        Post(m_hLine, LINE_LINEDEVSTATE, LINEDEVSTATE_RINGING, LINERINGMODE_NORMAL, m_rings);
    if (active)
        return;
    Call call = m_earlyCallerId;
    m_earlyCallerId = Call{};
    call.handle = m_newCallHandle();
    call.origin = LINECALLORIGIN_INBOUND;
    call.state = 0;
    m_calls.push_back(call);
    SetCallState(m_calls.back(), LINECALLSTATE_OFFERING, LINEOFFERINGMODE_ACTIVE,
                 LINECALLPRIVILEGE_OWNER);
    if (!m_calls.back().callerId.empty())
        Post(m_calls.back().handle, LINE_CALLINFO, LINECALLINFOSTATE_CALLERID);
}

void CModemLine::OnCallerId(const std::string &tag, const std::string &rawValue)
{
    Call *active = Active();
    Call *target = nullptr;
    if (active && active->state == LINECALLSTATE_OFFERING)
        target = active;
    else if (!active)
        target = &m_earlyCallerId;
    if (!target)
        return;
    const std::string value = CleanCallerIdValue(rawValue);
    if (tag == "NMBR" || tag == "DDN_NMBR") {
        // P: the caller withheld the number; O: the network has none.
        const std::string number = NumberIn(value);
        if (value == "P" || number.empty()) {
            target->callerIdFlags =
                value == "P" ? LINECALLPARTYID_BLOCKED : LINECALLPARTYID_OUTOFAREA;
            target->callerId.clear();
            return;
        }
        const bool first = target->callerId.empty();
        target->callerId = number;
        target->callerIdFlags =
            LINECALLPARTYID_ADDRESS | (target->callerName.empty() ? 0 : LINECALLPARTYID_NAME);
        if (target == active && first)
            Post(active->handle, LINE_CALLINFO, LINECALLINFOSTATE_CALLERID);
    } else if (tag == "NAME") {
        target->callerName = value;
        if (!target->callerId.empty())
            target->callerIdFlags |= LINECALLPARTYID_NAME;
    } else if (tag == "DATE") {
        target->date = value;
    } else if (tag == "TIME") {
        target->time = value;
    }
}

void CModemLine::OnModemLine(const std::string &line, ModemResult result)
{
    std::lock_guard lock(m_mutex);
    if (m_closed || m_gone)
        return;
    Call *call = Active();
    switch (result) {
    case ModemResult::Ring:
        OnRing();
        return;
    case ModemResult::CallerId: {
        std::string tag, value;
        if (ParseCallerIdLine(line, tag, value))
            OnCallerId(tag, value);
        return;
    }
    default:
        break;
    }
    if (!call)
        return;
    if (m_pending == Pending::Dial) {
        switch (result) {
        case ModemResult::Vcon:
        case ModemResult::Ok:
        case ModemResult::Connect:
            m_pending = Pending::None;
            SetCallState(*call, LINECALLSTATE_CONNECTED, LINECONNECTEDMODE_ACTIVE);
            return;
        case ModemResult::Ringing:
            SetCallState(*call, LINECALLSTATE_RINGBACK);
            return;
        case ModemResult::Busy:
            // The modem is back on hook; the call waits for lineDrop.
            m_offHook = false;
            m_pending = Pending::None;
            SetCallState(*call, LINECALLSTATE_BUSY, LINEBUSYMODE_UNKNOWN);
            EndCall(*call, LINEDISCONNECTMODE_BUSY, false);
            return;
        case ModemResult::NoAnswer:
            m_offHook = false;
            EndCall(*call, LINEDISCONNECTMODE_NOANSWER, true);
            return;
        case ModemResult::NoDialtone:
            m_offHook = false;
            EndCall(*call, LINEDISCONNECTMODE_NODIALTONE, true);
            return;
        case ModemResult::NoCarrier:
        case ModemResult::Error:
            m_offHook = false;
            EndCall(*call, LINEDISCONNECTMODE_UNAVAIL, true);
            return;
        default:
            return;
        }
    }
    if (m_pending == Pending::Answer) {
        if (result == ModemResult::Ok || result == ModemResult::Vcon ||
            result == ModemResult::Connect) {
            m_pending = Pending::None;
            SetCallState(*call, LINECALLSTATE_CONNECTED, LINECONNECTEDMODE_ACTIVE);
        } else if (result == ModemResult::Error || result == ModemResult::NoCarrier) {
            m_offHook = false;
            EndCall(*call, LINEDISCONNECTMODE_UNAVAIL, true);
        }
        return;
    }
    if (call->state == LINECALLSTATE_CONNECTED && result == ModemResult::NoCarrier) {
        m_offHook = false;
        EndCall(*call, LINEDISCONNECTMODE_NORMAL, true);
    }
}

void CModemLine::OnModemDle(char code)
{
    std::lock_guard lock(m_mutex);
    if (m_closed || m_gone)
        return;
    if (code == 'R') {
        OnRing();
        return;
    }
    Call *call = Active();
    // Busy tone, dial tone or a broken loop: the other party has gone. The
    // modem itself stays off hook until the call is dropped or the line closed.
    if (call && call->state == LINECALLSTATE_CONNECTED &&
        (code == 'b' || code == 'd' || code == 'l'))
        EndCall(*call, LINEDISCONNECTMODE_NORMAL, true);
}

void CModemLine::OnModemGone()
{
    std::lock_guard lock(m_mutex);
    if (m_gone)
        return;
    m_gone = true;
    m_offHook = false;
    if (m_closed)
        return;
    if (Call *call = Active())
        EndCall(*call, LINEDISCONNECTMODE_UNAVAIL, true);
    Post(m_hLine, LINE_CLOSE, 0);
}

CModemLine::Clock::time_point CModemLine::NextDeadline()
{
    std::lock_guard lock(m_mutex);
    if (m_closed || m_gone)
        return Clock::time_point::max();
    if (m_pending == Pending::Answer)
        return m_answerSent + m_timeouts.command;
    const Call *call = Active();
    const bool offered = call && call->state == LINECALLSTATE_OFFERING;
    if (offered || m_ignoreRings)
        return m_lastRing + m_timeouts.ringGiveUp;
    return Clock::time_point::max();
}

void CModemLine::OnDeadline()
{
    std::lock_guard lock(m_mutex);
    if (m_closed || m_gone)
        return;
    const auto now = Clock::now();
    Call *call = Active();
    if (m_pending == Pending::Answer) {
        if (call && now >= m_answerSent + m_timeouts.command)
            EndCall(*call, LINEDISCONNECTMODE_UNAVAIL, true);
        return;
    }
    if (now < m_lastRing + m_timeouts.ringGiveUp)
        return;
    m_ignoreRings = false;
    m_rings = 0;
    // The caller gave up before the call was answered.
    if (call && call->state == LINECALLSTATE_OFFERING)
        SetCallState(*call, LINECALLSTATE_IDLE);
}

} // namespace vocamo
