// CSkypeBridge: the notifications the client sends, one rule each.
#include "skype/SkypeBridge.h"
#include "skype/SkypeText.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace vocamo {

namespace {

// The first few words of a notification. Every space separates, so
// adjacent spaces give no empty words.
struct Words {
    static constexpr size_t kMax = 4;
    std::array<std::string_view, kMax> word{};
    size_t count = 0;

    std::string_view operator[](size_t i) const { return word[i]; }
    bool Has(size_t i) const { return i < count; }
};

// Splits at single spaces, keeping non-empty pieces; `rest` gets what
// follows the last word taken.
Words SplitWords(std::string_view text)
{
    Words words;
    size_t pos = 0;
    while (words.count < Words::kMax) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos >= text.size())
            break;
        size_t end = text.find(' ', pos);
        if (end == std::string_view::npos)
            end = text.size();
        words.word[words.count++] = text.substr(pos, end - pos);
        pos = end;
    }
    return words;
}

// The value of a multi-word property: everything after the first three
// words and one space after each, as the client writes them.
std::string_view RestAfterThreeWords(std::string_view text, const Words &words)
{
    const size_t pos = words[0].size() + words[1].size() + words[2].size() + 3;
    return pos < text.size() ? text.substr(pos) : std::string_view();
}

enum class Value { Word, Name };

struct Property {
    std::string_view name;
    std::string CSkypeFriend::*field;
    Value value;
};

// In the order they are matched.
constexpr std::array<Property, 23> kProperties{{
    {"HANDLE", &CSkypeFriend::handle, Value::Word},
    {"FULLNAME", &CSkypeFriend::fullName, Value::Name},
    {"BIRTHDAY", &CSkypeFriend::birthday, Value::Word},
    {"SEX", &CSkypeFriend::sex, Value::Word},
    {"LANGUAGE", &CSkypeFriend::language, Value::Word},
    {"COUNTRY", &CSkypeFriend::country, Value::Word},
    {"PROVINCE", &CSkypeFriend::province, Value::Word},
    {"CITY", &CSkypeFriend::city, Value::Word},
    {"PHONE_HOME", &CSkypeFriend::phoneHome, Value::Word},
    {"PHONE_OFFICE", &CSkypeFriend::phoneOffice, Value::Word},
    {"PHONE_MOBILE", &CSkypeFriend::phoneMobile, Value::Word},
    {"HOMEPAGE", &CSkypeFriend::homepage, Value::Word},
    {"ABOUT", &CSkypeFriend::about, Value::Word},
    {"HASCALLEQUIPMENT", &CSkypeFriend::hasCallEquipment, Value::Word},
    {"BUDDYSTATUS", &CSkypeFriend::buddyStatus, Value::Word},
    {"ISAUTHORIZED", &CSkypeFriend::isAuthorized, Value::Word},
    {"ISBLOCKED", &CSkypeFriend::isBlocked, Value::Word},
    {"DISPLAYNAME", &CSkypeFriend::displayName, Value::Name},
    {"ONLINESTATUS", &CSkypeFriend::onlineStatus, Value::Word},
    {"LASTONLINETIMESTAMP", &CSkypeFriend::lastOnlineTimestamp, Value::Word},
    {"CAN_LEAVE_VM", &CSkypeFriend::canLeaveVm, Value::Word},
    {"SPEEDDIAL", &CSkypeFriend::speedDial, Value::Word},
    {"RECEIVEDAUTHREQUEST", &CSkypeFriend::receivedAuthRequest, Value::Word},
}};

// The statuses after which a call is over; the voicemail ones end a call
// whose caller left a message, or tried to.
constexpr std::array<std::string_view, 10> kCallEnds{
    "FINISHED",  "FAILED",        "MISSED",  "REFUSED",      "BUSY",
    "CANCELLED", "FAILUREREASON", "VM_SENT", "VM_CANCELLED", "VM_FAILED",
};

bool IsCallEnd(std::string_view status)
{
    return std::find(kCallEnds.begin(), kCallEnds.end(), status) != kCallEnds.end();
}

// A call turned down by the other side reads as busy; MISSED is the
// dialled party not answering (a call that rang here is missed anyway).
CallEnd EndOfStatus(std::string_view status)
{
    if (status == "FINISHED")
        return CallEnd::Ended;
    if (status == "BUSY" || status == "REFUSED")
        return CallEnd::Busy;
    if (status == "CANCELLED")
        return CallEnd::Cancelled;
    if (status == "MISSED" || status == "VM_SENT" || status == "VM_CANCELLED")
        return CallEnd::NoAnswer;
    return CallEnd::Failed;
}

std::string_view TrimCommas(std::string_view word)
{
    while (!word.empty() && word.front() == ',')
        word.remove_prefix(1);
    while (!word.empty() && word.back() == ',')
        word.remove_suffix(1);
    return word;
}

// The ids of "CALLS 12, 17"; none for any other answer. A client has a few
// calls at most, and each id asked about is a round trip on the window
// thread: a longer list is cut.
std::vector<std::string> ActiveCallIds(std::string_view answer)
{
    constexpr size_t kMostCalls = 8;
    std::vector<std::string> ids;
    if (!answer.starts_with("CALLS "))
        return ids;
    for (size_t pos = 6; pos < answer.size() && ids.size() < kMostCalls;) {
        const size_t end = std::min(answer.find(' ', pos), answer.size());
        if (const std::string_view id = TrimCommas(answer.substr(pos, end - pos)); !id.empty())
            ids.emplace_back(id);
        pos = end + 1;
    }
    return ids;
}

} // namespace

void CSkypeBridge::ParseNotification(std::string_view text)
{
    if (text.empty() || text.front() == ' ')
        return;
    DropCallOfLostClient();
    // Whatever the client sends, what we store is valid UTF-8.
    std::string valid;
    if (!IsValidUtf8(text)) {
        valid = MakeValidUtf8(text);
        text = valid;
    }

    const Words words = SplitWords(text);
    const std::string_view first = words[0];
    if (first == "USERS")
        ParseUsers(text);
    else if (first == "USER")
        ParseUser(text);
    else if (first == "MESSAGE")
        return;
    else if (first == "CALL")
        ParseCall(text);
    else if (first == "CHAT" || first == "VOICEMAIL")
        return;
    else if (first == "CONNSTATUS") {
        if (words.Has(1))
            ParseConnStatus(words[1]);
    } else if (first == "CURRENTUSERHANDLE") {
        if (words.Has(1)) {
            std::lock_guard lock(m_mutex);
            m_currentUserHandle = words[1];
        }
    } else if (first == "USERSTATUS") {
        if (words.Has(1))
            ParseUserStatus(words[1]);
    }
}

// "USERS a, b, c": the friends list, rebuilt as a whole.
void CSkypeBridge::ParseUsers(std::string_view text)
{
    std::vector<std::unique_ptr<CSkypeFriend>> fresh;
    size_t pos = 5; // after "USERS"
    uint32_t index = 0;
    while (true) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        if (pos >= text.size())
            break;
        size_t end = text.find(' ', pos);
        if (end == std::string_view::npos)
            end = text.size();
        fresh.push_back(std::make_unique<CSkypeFriend>(
            std::string(TrimCommas(text.substr(pos, end - pos))), index++));
        pos = end;
    }
    bool replaced = false;
    ++m_friendList;
    m_friendChanges.clear();
    m_friendChanged.assign(fresh.size(), false);
    {
        std::lock_guard lock(m_mutex);
        replaced = m_friends.GetCount() > 0;
        m_friends.Clear();
        for (auto &record : fresh)
            m_friends.Append(record.release());
    }
    // The window's rows point into the records just destroyed: it rebuilds
    // them before it handles anything else, not only once a status arrives.
    if (fresh.empty() || replaced)
        m_mainWindow.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS);
    if (!fresh.empty())
        m_mainWindow.Post(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_FRIEND_DETAILS);
}

// "USER handle PROPERTY value": one property of one friend.
void CSkypeBridge::ParseUser(std::string_view text)
{
    const Words words = SplitWords(text);
    if (!words.Has(1))
        return;
    CSkypeFriend *record = m_friends.FindByHandle(words[1]);
    if (!record || !words.Has(2))
        return;
    for (const Property &property : kProperties) {
        if (words[2] != property.name)
            continue;
        if (property.value == Value::Name) {
            record->*property.field =
                CutToUtf16Units(RestAfterThreeWords(text, words), kSkypeNameUnits);
            return;
        }
        if (!words.Has(3))
            return;
        record->*property.field = words[3];
        if (property.field == &CSkypeFriend::onlineStatus) {
            if (record->index < m_friendChanged.size() && !m_friendChanged[record->index]) {
                m_friendChanged[record->index] = true;
                m_friendChanges.push_back(record->index);
            }
            m_mainWindow.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS);
        }
        return;
    }
}

// "CALL id STATUS value" and "CALL id PARTNER_HANDLE handle". Only the
// tracked call moves the line. A second call while one is tracked is left
// to the client: it rings there, is not shown here, and nothing the user
// does here acts on it.
void CSkypeBridge::ParseCall(std::string_view text)
{
    const Words words = SplitWords(text);
    if (!words.Has(3))
        return;
    const std::string_view id = words[1];
    const bool tracked = !m_callId.empty() && id == m_callId;
    if (words[2] == "PARTNER_HANDLE") {
        if (!tracked)
            return;
        m_partnerHandle = words[3];
        m_mainWindow.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_PARTNER);
        // The window asks for the handle when it paints; paint again now
        // that it is known.
        m_mainWindow.Post(WM_REFRESH, 0, 0);
        return;
    }
    if (words[2] != "STATUS")
        return;
    const std::string_view status = words[3];
    // A reply to our own hang-up can overtake the call's earlier progress
    // notifications still queued on the bus: a call that has ended never
    // comes back.
    if ((!m_endedCallId.empty() && id == m_endedCallId) || (!tracked && !m_callId.empty()))
        return;
    if (IsCallEnd(status)) {
        if (tracked)
            EndCall(EndOfStatus(status));
    } else if (status == "ROUTING") {
        if (!tracked)
            TrackCall(id, DIALING);
    } else if (status == "INPROGRESS") {
        if (tracked)
            SetState(ANSWERING);
        else
            TrackCall(id, ANSWERING); // answered at the client before we saw it ring
    } else if (status == "RINGING") {
        if (!tracked)
            TrackCall(id, RINGING);
        else if (GetState() != DIALING) { // else the far end of our own call rings
            SetState(RINGING);
            SendCallCommand("GET", "PARTNER_HANDLE");
        } else if (!m_farEndRinging) {
            m_farEndRinging = true;
            m_mainWindow.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_CALL_PROGRESS);
        }
    }
}

void CSkypeBridge::TrackCall(std::string_view id, int32_t state)
{
    m_callId = id;
    m_partnerHandle.clear(); // the last call's partner is not this one's
    m_incoming = state == RINGING;
    m_farEndRinging = false;
    m_callsOf = Attachment();
    SetState(state);
    SendCallCommand("GET", "PARTNER_HANDLE");
}

void CSkypeBridge::EndCall(CallEnd reason)
{
    m_callEnd = LineCallEnd{reason, m_incoming, m_partnerHandle, GetFriendName(m_partnerHandle)};
    m_mainWindow.Post(WM_APP_EVENT, RECEIVER_WINDOW, EVT_CALL_ENDED);
    m_endedCallId = m_callId;
    m_callId.clear();
    m_partnerHandle.clear();
    SetState(NORMAL);
    // Asked once this notification's work is done, not inside it.
    m_mainWindow.Post(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_WAITING_CALL);
}

// Call ids are the client's: a call tracked before the line was lost, or
// before the account went offline, is not going on any more.
void CSkypeBridge::DropCallOfLostClient()
{
    const uint64_t attachment = Attachment();
    if (m_callsOf == attachment)
        return;
    m_callsOf = attachment;
    ForgetCalls();
}

void CSkypeBridge::ForgetCalls()
{
    m_callId.clear();
    m_partnerHandle.clear();
    m_endedCallId.clear();
    m_hangUpSentFor.clear();
}

// "verb CALL id what" about the tracked call. A client that answers it has
// no such call (ERROR 11), or none it can end (ERROR 14), has ended it: the
// line would otherwise show a call nobody can dismiss.
// Never about no call: an empty id would be a command about nothing.
void CSkypeBridge::SendCallCommand(std::string_view verb, std::string_view what)
{
    const std::string id = m_callId;
    if (id.empty())
        return;
    const std::string answer = Ask(std::string(verb) + " CALL " + id + " " + std::string(what));
    const Words words = SplitWords(answer);
    if (id == m_callId && words[0] == "ERROR" && (words[1] == "11" || words[1] == "14"))
        EndCall();
}

std::string CSkypeBridge::Ask(const std::string &command)
{
    std::string answer;
    std::string *outer = std::exchange(m_answer, &answer);
    SendCommand(command);
    m_answer = outer;
    return answer;
}

// A call command that timed out may still have reached a client that was
// only slow: it places the call a while later, after the user was told the
// line was lost. Back with that client, such a call is ended, not taken for
// a new one; its progress still on the way is dropped as a call that ended.
void CSkypeBridge::EndLostCall(const std::string &client)
{
    const LostCall lost = std::exchange(m_lostCall, {});
    if (lost.client != client)
        return;
    DropCallOfLostClient();
    for (const std::string &id : ActiveCallIds(Ask("SEARCH ACTIVECALLS"))) {
        if (Ask("GET CALL " + id + " PARTNER_HANDLE") !=
            "CALL " + id + " PARTNER_HANDLE " + lost.target)
            continue;
        m_endedCallId = id;
        SendCommand("SET CALL " + id + " STATUS FINISHED");
    }
}

// A call that rang while another was tracked was left to ring at the
// client. Once the tracked one has ended, a call still ringing there is the
// phone's: its status, asked for, is read as news of that call.
void CSkypeBridge::TakeWaitingCall()
{
    if (!m_callId.empty())
        return;
    for (const std::string &id : ActiveCallIds(Ask("SEARCH ACTIVECALLS"))) {
        if (id != m_endedCallId)
            SendCommand("GET CALL " + id + " STATUS");
        if (!m_callId.empty())
            return;
    }
}

void CSkypeBridge::ParseConnStatus(std::string_view status)
{
    if (status == "ONLINE") {
        // Online says nothing about a call: one that rings or goes on stays.
        if (m_callId.empty())
            SetState(NORMAL);
        SendCommand("SEARCH FRIENDS");
        std::lock_guard lock(m_mutex);
        m_connStatus = status;
    } else if (status == "OFFLINE" || status == "CONNECTING" || status == "PAUSING" ||
               status == "LOGGEDOUT") {
        ForgetCalls();
        SetState(INIT);
        std::lock_guard lock(m_mutex);
        m_connStatus = status;
        m_currentUserHandle.clear();
        m_userStatus.clear();
    } else {
        std::lock_guard lock(m_mutex);
        m_connStatus = status;
    }
}

void CSkypeBridge::ParseUserStatus(std::string_view status)
{
    if (status == "OFFLINE" || status == "LOGGEDOUT") {
        ForgetCalls();
        SetState(INIT);
        std::lock_guard lock(m_mutex);
        m_connStatus.clear();
        m_currentUserHandle.clear();
        m_userStatus.clear();
    } else {
        std::lock_guard lock(m_mutex);
        m_userStatus = status;
    }
}

} // namespace vocamo
