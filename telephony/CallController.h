#pragma once

#include "core/CallEnd.h"
#include "core/CallState.h"
#include "core/MessageTarget.h"
#include "phonebook/BookmarkList.h"
#include "phonebook/IniFile.h"
#include "telephony/TapiClient.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace vocamo {

// The controller's own event, from its retry timer: no line could be opened
// a while ago, time to try again.
constexpr LPARAM EVT_LINE_RETRY = 34;

// The modem line's one call: its state, the other party, and the phonebook
// the party's name comes from. Runs entirely on the window thread; the TAPI
// event thread reaches it only through the window, which hands every
// (WM_APP_EVENT, 3, code) back to OnTapiEvent in posting order.
//
// Failures are named for the trace and answered by a reset, which replaces
// the whole TAPI client; the window hears only how a call ended.
class CCallController {
public:
    static constexpr std::chrono::milliseconds kLineRetry{30000};

    // window: receives every notification. exeDir: the folder Bookmark.ini
    // lives in, without a trailing slash. settings: handed to every TAPI
    // client this controller creates (the event thread's wait, AT time-outs).
    // lineRetry: while no line can be opened, how often it is tried again.
    CCallController(CMessageTarget &window, std::string exeDir, CTapiClient::Settings settings = {},
                    std::chrono::milliseconds lineRetry = kLineRetry);
    virtual ~CCallController();

    CCallController(const CCallController &) = delete;
    CCallController &operator=(const CCallController &) = delete;

    void Initialize();
    // Hangs up: the client goes, a fresh one opens the line, the phonebook
    // is reloaded, number and name are emptied. Without a usable line, ports
    // that failed their probe are probed again.
    void Reset();
    void Dial(std::string number);
    void Answer();
    // Handles one telephony event; the window returns the 1 as its result.
    int OnTapiEvent(WPARAM source, LPARAM code);

    int32_t GetState() const { return m_state; }
    // The dialled party's phone rings (where the line reports it).
    bool IsFarEndRinging() const { return m_farEndRinging; }
    // How the last call ended, as the line said, once per EVT_CALL_ENDED;
    // empty when the window was told already.
    std::optional<LineCallEnd> TakeCallEnd() { return std::exchange(m_callEnd, std::nullopt); }
    std::string GetNumber() const { return m_number; }
    std::string GetName() const { return m_name; }
    int GetBookmarkCount() const;
    // The entry with that list index, or null; valid until the next
    // EVT_BOOKMARKS_LOADED.
    CBookmark *GetBookmark(uint32_t index) const;
    // The name of the first entry, in list order, with any number equal to
    // `number` byte for byte; empty when none.
    std::string FindNameForNumber(std::string number) const;

    void SetState(int32_t state);
    // Rebuilds the phonebook from Bookmark.ini and posts EVT_BOOKMARKS_LOADED.
    void LoadPhonebook();

private:
    void DestroyClient();
    void RetryLater();
    // Keeps why the call ended for the window and tells it, ahead of the
    // state changes of the reset that follows.
    void ReportEnd(CallEnd reason);

    std::unique_ptr<CTapiClient> m_client;
    int32_t m_state = INIT;
    CMessageTarget &m_window;
    CIniFile m_phonebookFile;
    std::unique_ptr<CBookmarkList> m_phonebook;
    std::string m_name;
    std::string m_number;
    bool m_incoming = false;
    bool m_farEndRinging = false;
    std::optional<LineCallEnd> m_callEnd;
    const std::string m_exeDir;
    const CTapiClient::Settings m_settings;
    const std::chrono::milliseconds m_lineRetry;
    int m_retriesPending = 0; // only the latest one tries the line
};

} // namespace vocamo
