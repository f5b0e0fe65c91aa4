#pragma once

#include "platform/tapi/LineMessageQueue.h"
#include "platform/tapi/ModemPort.h"
#include "platform/tapi/ModemTimeouts.h"
#include "platform/tapi/Tapi.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vocamo {

// One open line device: a voice modem's port, its calls, and the mapping of
// what the modem says to line messages. Requests come from the application's
// threads; the modem's output arrives on the port's reader thread. Messages
// are queued under the line's lock, so they keep the order of events.
class CModemLine : public CModemPortSink {
public:
    using HandleSource = std::function<DWORD()>;

    CModemLine(std::shared_ptr<CModemPort> port, HLINE hLine, DWORD deviceId,
               DWORD_PTR callbackInstance, std::shared_ptr<CLineMessageQueue> queue,
               HandleSource newCallHandle, ModemTimeouts timeouts);
    ~CModemLine() override;

    // Listens to the port and runs the init dialogue; 0 or a LINEERR_ code.
    LONG Initialize();
    void SetStatusMessages(DWORD lineStates);
    LONG MakeCall(const std::string &dialString, HCALL *lphCall, LONG requestId);
    LONG Answer(HCALL hCall, LONG requestId);
    LONG Drop(HCALL hCall, LONG requestId);
    LONG GetCallInfo(HCALL hCall, LINECALLINFO *info);
    // Hangs up if the modem is off hook, stops listening.
    void Close();

    bool OwnsCall(HCALL hCall) const;
    bool IsGone() const;
    HLINE Handle() const { return m_hLine; }
    const std::shared_ptr<CModemPort> &Port() const { return m_port; }

    // CModemPortSink
    void OnModemLine(const std::string &line, ModemResult result) override;
    void OnModemDle(char code) override;
    void OnModemGone() override;
    Clock::time_point NextDeadline() override;
    void OnDeadline() override;

private:
    enum class Pending { None, Dial, Answer };

    struct Call {
        HCALL handle = 0;
        DWORD state = 0;
        DWORD origin = 0;
        DWORD callerIdFlags = LINECALLPARTYID_UNKNOWN;
        std::string callerId;
        std::string callerName;
        std::string date;
        std::string time;
        std::string dialled;
    };

    // All of these run with m_mutex held.
    Call *Active();
    Call *Find(HCALL hCall);
    void Post(DWORD hDevice, DWORD messageId, DWORD p1, DWORD p2 = 0, DWORD p3 = 0);
    void SetCallState(Call &call, DWORD state, DWORD mode = 0, DWORD privilege = 0);
    void EndCall(Call &call, DWORD disconnectMode, bool thenIdle);
    void OnRing();
    void OnCallerId(const std::string &tag, const std::string &value);
    void HangUpModem();

    const std::shared_ptr<CModemPort> m_port;
    const HLINE m_hLine;
    const DWORD m_deviceId;
    const DWORD_PTR m_callbackInstance;
    const std::shared_ptr<CLineMessageQueue> m_queue;
    const HandleSource m_newCallHandle;
    const ModemTimeouts m_timeouts;

    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    Pending m_pending = Pending::None;
    Clock::time_point m_answerSent{};
    DWORD m_lineStates = 0;
    DWORD m_rings = 0;
    Clock::time_point m_lastRing{};
    bool m_ignoreRings = false; // the offered call was dropped; its caller still rings
    bool m_offHook = false;
    bool m_gone = false;
    bool m_closed = false;
    Call m_earlyCallerId; // caller ID that came before the first ring
};

} // namespace vocamo
