// CSkypeBridge: what the window asks of the Skype line.
#include "skype/SkypeBridge.h"

#include <array>
#include <utility>

namespace vocamo {

namespace {

// The details asked for each friend, in this order.
constexpr std::array<std::string_view, 7> kDetailProperties{
    "FULLNAME", "DISPLAYNAME", "HANDLE", "BUDDYSTATUS", "ISAUTHORIZED", "ISBLOCKED", "ONLINESTATUS",
};

} // namespace

int CSkypeBridge::OnRequest(WPARAM /*kind*/, LPARAM code)
{
    DropCallOfLostClient();
    switch (code) {
    case REQ_SKYPE_FRIEND_DETAILS:
        RequestFriendDetails();
        break;
    case REQ_SKYPE_HANGUP:
        // Once per call: the window asks again while it waits for the end,
        // and a client that cannot end the call would be asked without end.
        if (!m_callId.empty() && m_callId != m_hangUpSentFor) {
            m_hangUpSentFor = m_callId;
            SendCallCommand("SET", "STATUS FINISHED");
        }
        break;
    case REQ_SKYPE_ANSWER:
        SendCallCommand("SET", "STATUS INPROGRESS");
        break;
    case REQ_SKYPE_SEARCH_FRIENDS:
        SendCommand("SEARCH FRIENDS");
        break;
    case REQ_SKYPE_WAITING_CALL:
        TakeWaitingCall();
        break;
    default:
        break;
    }
    return 1;
}

// Seven questions per friend, first friend first. Thousands of blocking
// round trips would freeze the window, so the worker sends them, in the
// same order and with the same rule for a failed send; their answers come
// back to the window thread like any notification. Questions not yet sent
// for an earlier list are dropped: that list's records are gone.
void CSkypeBridge::RequestFriendDetails()
{
    std::deque<std::string> questions;
    for (int position = 0; position < m_friends.GetCount(); ++position) {
        const std::string &handle = m_friends.GetAt(position)->handle;
        for (std::string_view property : kDetailProperties) {
            std::string question = "GET USER ";
            question += handle;
            question += ' ';
            question += property;
            questions.push_back(std::move(question));
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_outbox = std::move(questions);
    }
    m_wake.notify_all();
}

int CSkypeBridge::GetFriendCount() const
{
    return m_friends.GetCount();
}

CSkypeFriend *CSkypeBridge::GetFriend(uint32_t index) const
{
    return m_friends.FindByIndex(index);
}

std::vector<uint32_t> CSkypeBridge::TakeFriendChanges()
{
    for (const uint32_t index : m_friendChanges)
        m_friendChanged[index] = false;
    return std::exchange(m_friendChanges, {});
}

std::string CSkypeBridge::GetPartnerHandle() const
{
    // The answer to the partner query is parsed on this very thread, so
    // waiting here could never see it arrive; the window paints again when
    // it does (EVT_SKYPE_PARTNER, then WM_REFRESH).
    return m_callsOf == Attachment() ? m_partnerHandle : std::string();
}

std::string CSkypeBridge::GetFriendName(std::string_view handle) const
{
    // Until the client answers, a property holds its one-letter placeholder.
    const CSkypeFriend *f = handle.empty() ? nullptr : m_friends.FindByHandle(handle);
    if (!f)
        return {};
    if (!f->displayName.empty() && f->displayName != CSkypeFriend().displayName)
        return f->displayName;
    if (!f->fullName.empty() && f->fullName != CSkypeFriend().fullName)
        return f->fullName;
    return {};
}

} // namespace vocamo
