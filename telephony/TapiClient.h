#pragma once

#include "core/MessageTarget.h"
#include "platform/tapi/ModemProbeCache.h"
#include "platform/tapi/ModemTimeouts.h"
#include "platform/tapi/Tapi.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vocamo {

// What a TAPI client is handed besides its message target.
struct TapiClientSettings {
    // The telephony system; null: a modem provider of the client's own over
    // the default device list, with modemTimeouts.
    CTapi *tapi = nullptr;
    ModemTimeouts modemTimeouts;
    // What that provider's probes find is kept here, for the next one; null:
    // the provider keeps it to itself.
    std::shared_ptr<CModemProbeCache> probeCache;
    // How long the event thread waits for a line message before it looks at
    // the stop flag again. Unset: until a message comes, since CloseLine's
    // lineShutdown ends the wait anyway; an idle line then never wakes it.
    std::optional<std::chrono::milliseconds> messageWait;
};

// The program's registration with TAPI for its modem line: chooses and opens
// the voice line, places and answers the one call, holds the call's handle
// and caller ID, and runs the event thread that reports the line's messages
// to the window. Its phone half switches the modem's speakerphone on.
// Created, used and destroyed on the window thread; never reopened.
class CTapiClient {
public:
    using Settings = TapiClientSettings;

    // target: where the event thread posts (WM_APP_EVENT, 3, code); a client
    // without one reports nothing.
    explicit CTapiClient(CMessageTarget *target, Settings settings = {});
    explicit CTapiClient(CMessageTarget &target, Settings settings = {});
    virtual ~CTapiClient();

    CTapiClient(const CTapiClient &) = delete;
    CTapiClient &operator=(const CTapiClient &) = delete;

    // 0, or a LINEERR_ code.
    LONG OpenLine();
    LONG MakeCall(const std::string &number);
    LONG AnswerCall();
    bool HasCall() const;
    // True once the event thread has reported the end of a call or of the
    // line (EVT_IDLE); the reset that follows makes any later report old news.
    bool HasEnded() const { return m_ended.load(); }
    // The LINEDISCONNECTMODE_ the line gave with the call's end; 0 for none.
    DWORD DisconnectMode() const { return m_disconnectMode.load(); }
    std::string GetCallerId() const;
    // Always 0.
    LONG CloseLine();

    // 0, or a PHONEERR_ code. While the phone is open it stays open and 0 is returned.
    LONG OpenPhone();
    void ClosePhone();

private:
    friend int TapiEventThread(CTapiClient *client);

    void SetCallerId(std::string callerId);
    bool CallerIdEmpty() const;

    std::unique_ptr<CTapi> m_ownTapi;
    CTapi &m_tapi;
    CMessageTarget *const m_target;
    const std::optional<std::chrono::milliseconds> m_messageWait;

    // The event thread reads the line application and the stop flag and
    // writes the call handle and the caller ID; all four are safe to share.
    std::atomic<HLINEAPP> m_lineApp{0};
    HPHONEAPP m_phoneApp = 0;
    HLINE m_line = 0;
    HPHONE m_phone = 0;
    std::atomic<HCALL> m_call{0};
    std::thread m_eventThread;
    std::atomic<bool> m_stop{true};
    std::atomic<bool> m_ended{false};
    std::atomic<DWORD> m_disconnectMode{0};
    int32_t m_lineDevice = -1;
    int32_t m_phoneDevice = -1;
    mutable std::mutex m_callerIdMutex;
    std::string m_callerId;
};

} // namespace vocamo
