#include "telephony/TapiEventThread.h"

#include "core/CallEnd.h"
#include "core/Messages.h"
#include "telephony/TapiClient.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vocamo {

namespace {

constexpr DWORD kCallInfoSize = 1348;
// However much room the line says it needs, this is enough for a caller ID.
constexpr DWORD kMaxCallInfoSize = 64 * 1024;
// A wait that fails at once (not a time-out) is not retried in a tight loop.
constexpr auto kFailedWaitPause = std::chrono::milliseconds(20);

constexpr DWORD kQuietCallStates =
    LINECALLSTATE_ACCEPTED | LINECALLSTATE_DIALTONE | LINECALLSTATE_DIALING |
    LINECALLSTATE_RINGBACK | LINECALLSTATE_BUSY | LINECALLSTATE_SPECIALINFO |
    LINECALLSTATE_PROCEEDING | LINECALLSTATE_ONHOLD | LINECALLSTATE_CONFERENCED |
    LINECALLSTATE_ONHOLDPENDCONF | LINECALLSTATE_ONHOLDPENDTRANSFER | LINECALLSTATE_UNKNOWN;

bool IsSingleQuietState(DWORD state)
{
    return state != 0 && (state & (state - 1)) == 0 && (state & kQuietCallStates) != 0;
}

// The caller ID of the call as the line reports it; empty when it has none.
std::string ReadCallerId(CTapi &tapi, HCALL call)
{
    DWORD size = kCallInfoSize;
    std::vector<DWORD> buffer(size / sizeof(DWORD), 0);
    buffer[0] = size;
    auto *info = reinterpret_cast<LINECALLINFO *>(buffer.data());
    tapi.lineGetCallInfoA(call, info);
    if (info->dwNeededSize > info->dwTotalSize) {
        size = std::min(info->dwNeededSize, kMaxCallInfoSize);
        buffer.assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
        buffer[0] = size;
        info = reinterpret_cast<LINECALLINFO *>(buffer.data());
        tapi.lineGetCallInfoA(call, info);
    }
    if (info->dwCallerIDSize == 0)
        return {};
    // Read only inside the buffer, whatever the offset and size say.
    const DWORD offset = info->dwCallerIDOffset;
    if (offset >= size)
        return {};
    const char *text = reinterpret_cast<const char *>(buffer.data()) + offset;
    const size_t room = std::min<size_t>(size - offset, info->dwCallerIDSize);
    return std::string(text, ::strnlen(text, room));
}

} // namespace

int TapiEventThread(CTapiClient *client)
{
    CMessageTarget *const target = client->m_target;
    if (!target)
        return 0;
    CTapi &tapi = client->m_tapi;
    const auto post = [target](LPARAM code) {
        target->Post(WM_APP_EVENT, RECEIVER_CONTROLLER, code);
    };
    const auto postEnd = [client, &post] {
        client->m_ended = true;
        post(EVT_IDLE);
    };
    const DWORD wait =
        client->m_messageWait ? static_cast<DWORD>(client->m_messageWait->count()) : INFINITE;
    for (;;) {
        LINEMESSAGE message{};
        const auto started = std::chrono::steady_clock::now();
        const LONG result = tapi.lineGetMessage(client->m_lineApp.load(), &message, wait);
        if (client->m_stop.load())
            return 0;
        if (result != 0) {
            if (std::chrono::steady_clock::now() - started < kFailedWaitPause)
                std::this_thread::sleep_for(kFailedWaitPause);
            continue;
        }
        switch (message.dwMessageID) {
        case LINE_CALLINFO:
            if (message.dwParam1 == LINECALLINFOSTATE_CALLERID && client->CallerIdEmpty()) {
                client->SetCallerId(ReadCallerId(tapi, client->m_call.load()));
                post(EVT_CALLERID);
            }
            break;
        case LINE_CALLSTATE:
            switch (message.dwParam1) {
            case LINECALLSTATE_IDLE:
                postEnd();
                break;
            case LINECALLSTATE_OFFERING:
                client->m_call = message.hDevice;
                post(EVT_OFFERING);
                break;
            case LINECALLSTATE_RINGBACK:
                post(EVT_RINGBACK);
                break;
            case LINECALLSTATE_CONNECTED:
                if (message.dwCallbackInstance == 1)
                    post(EVT_CONNECTED);
                break;
            case LINECALLSTATE_DISCONNECTED:
                client->SetCallerId({});
                client->m_disconnectMode = message.dwParam2;
                postEnd();
                break;
            default:
                if (!IsSingleQuietState(message.dwParam1))
                    post(EVT_CALLSTATE_DEFAULT);
                break;
            }
            break;
        case LINE_LINEDEVSTATE:
            post(EVT_LINEDEVSTATE);
            break;
        case LINE_CLOSE:
            // The modem went away (unplugged): without this an idle line
            // would go on looking usable. The reset finds out whether the
            // port is back.
            postEnd();
            break;
        default:
            break;
        }
    }
}

} // namespace vocamo
