#pragma once

#include "core/CallEnd.h"
#include "core/CallState.h"
#include "core/MessageTarget.h"
#include "skype/SkypeFriendList.h"
#include "skype/SkypeTransport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace vocamo {

// How often the worker rediscovers, polls the client's status or pings.
constexpr std::chrono::milliseconds kSkypePass{5000};
// A command travels with its terminating zero in 1024 bytes.
constexpr size_t kSkypeCommandMax = 1023;
// Detail questions in flight at once.
constexpr size_t kSkypeBatch = 64;
// Room for a friend's full or display name, in UTF-16 units.
constexpr size_t kSkypeNameUnits = 49;

// The Skype line: attachment to the Skype client, the client's status and
// call state, the friends list, and the commands the window asks for.
//
// Threads: everything but the worker runs on the window thread; the worker
// only sends, discovers and posts. Events reach the window through
// `mainWindow` (posted, never sent).
class CSkypeBridge : public CSkypeTransportSink {
public:
    // Registers itself as the transport's sink and starts the worker, whose
    // first pass discovers at once.
    CSkypeBridge(CMessageTarget &mainWindow, CSkypeTransport &transport,
                 std::chrono::milliseconds pass = kSkypePass);
    // Stops the worker without waiting out its pause (a send already under
    // way still ends within the transport's time-out), posts EVT_SKYPE_STATE.
    ~CSkypeBridge() override;

    CSkypeBridge(const CSkypeBridge &) = delete;
    CSkypeBridge &operator=(const CSkypeBridge &) = delete;

    // Attachment and transport.
    void Discover();
    int OnAttach(const std::string &client, uint32_t status) override;
    int OnCopyData(const std::string &sender, std::string_view text) override;
    // Sends one command (up to the first zero byte) to the attached client;
    // true when it was accepted. Empty and over-long commands are not sent.
    bool SendCommand(std::string_view text);
    int32_t GetState() const;
    void SetState(int32_t value);
    void ForgetSkype();

    // Notifications from the client.
    void ParseNotification(std::string_view text);

    // Requests of the window and what it reads.
    int OnRequest(WPARAM kind, LPARAM code);
    void RequestFriendDetails();
    int GetFriendCount() const;
    CSkypeFriend *GetFriend(uint32_t index) const;
    // Which friends list the records belong to: a new number for each
    // friends-list notification, never 0.
    uint64_t GetFriendListNumber() const { return m_friendList; }
    // The friends whose presence was reported since the window last asked,
    // by index, each once; a new list starts with none.
    std::vector<uint32_t> TakeFriendChanges();
    // The other party of the tracked call, or empty; never waits.
    std::string GetPartnerHandle() const;
    // The friend's name as the client reported it; empty before it has.
    std::string GetFriendName(std::string_view handle) const;
    // The far end of our own call rings.
    bool IsFarEndRinging() const { return !m_callId.empty() && m_farEndRinging; }
    // How the last call ended, as the client said, once per EVT_CALL_ENDED.
    std::optional<LineCallEnd> TakeCallEnd() { return std::exchange(m_callEnd, std::nullopt); }

    // What the bridge holds, for traces and tests.
    std::string GetSkypeWindow() const;
    std::string GetCallId() const;
    std::string GetConnStatus() const;
    std::string GetCurrentUserHandle() const;
    std::string GetUserStatus() const;

private:
    void SkypeWorkerThread();
    void RunPass();
    // The ping's answer is read by the transport, not by the parser: it is
    // posted, not waited on.
    enum class Answer { Read, Ignored };
    bool Transmit(std::string_view text, Answer answer = Answer::Read);
    void TransmitBatch(std::vector<std::string> &questions);
    void ForgetAfterFailedSend(const std::string &client);
    void ForgetLocked();
    void PostState();

    // The rules of ParseNotification (SkypeParser.cpp).
    void ParseUsers(std::string_view text);
    void ParseUser(std::string_view text);
    void ParseCall(std::string_view text);
    void ParseConnStatus(std::string_view status);
    void ParseUserStatus(std::string_view status);
    void SendCallCommand(std::string_view verb, std::string_view what);
    // Sends on the window thread and returns the client's answer, or empty.
    std::string Ask(const std::string &command);
    void EndLostCall(const std::string &client);
    void TakeWaitingCall();
    void TrackCall(std::string_view id, int32_t state);
    void EndCall(CallEnd reason = CallEnd::None);
    void DropCallOfLostClient();
    void ForgetCalls();
    uint64_t Attachment() const;

    CMessageTarget &m_mainWindow;
    CSkypeTransport &m_transport;
    const std::chrono::milliseconds m_pass;

    // Guards the fields the worker shares: the attached client, the state,
    // the three status texts, the friend count and the outbox. Never held
    // while sending or discovering.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;

    std::string m_skypeWindow; // the attached client; empty while not attached
    int32_t m_state = INIT;
    std::string m_connStatus;
    std::string m_currentUserHandle;
    std::string m_userStatus;
    std::deque<std::string> m_outbox; // detail questions the worker sends
    uint64_t m_attachment = 0;        // counts the changes of the attached client
    bool m_passDue = false;           // a client came or attached: the worker's pass is due now

    // Window thread only.
    std::string m_callId;
    std::string m_partnerHandle;
    std::string m_endedCallId;   // the last call that ended
    std::string m_hangUpSentFor; // the last call we asked the client to end
    bool m_incoming = false;     // the tracked call rang here first
    bool m_farEndRinging = false;
    std::optional<LineCallEnd> m_callEnd; // kept for the window until it asks
    uint64_t m_callsOf = 0;               // the attachment these call ids belong to
    int m_parseDepth = 0;
    std::string *m_answer = nullptr; // takes the answer to the window's command in flight
    struct LostCall {
        std::string client; // whom the call command that timed out went to
        std::string target; // whom it called
    } m_lostCall;

    CSkypeFriendList m_friends; // changed under m_mutex, on the window thread
    uint64_t m_friendList = 1;  // window thread, as the two below
    std::vector<uint32_t> m_friendChanges;
    std::vector<bool> m_friendChanged; // by index

    std::atomic<bool> m_stop{false};
    std::thread m_worker; // last: starts once everything above exists
};

} // namespace vocamo
