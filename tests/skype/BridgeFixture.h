#pragma once

#include "tests/support/RecordingMessageTarget.h"
#include "tests/support/MemorySkypeTransport.h"
#include "skype/SkypeBridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vocamo {

// A bridge on the in-memory client "skype:1", with a pass short enough to
// watch several of them.
class BridgeTest : public ::testing::Test {
protected:
    static constexpr const char *kClient = "skype:1";
    static constexpr PostedMessage kStateEvent{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_STATE};
    static constexpr PostedMessage kFriendsEvent{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS};
    static constexpr PostedMessage kPartnerEvent{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_PARTNER};
    static constexpr PostedMessage kDetailsRequest{WM_APP_EVENT, RECEIVER_SKYPE,
                                                   REQ_SKYPE_FRIEND_DETAILS};

    void SetUp() override { transport.SetClient(kClient); }

    void Make(std::chrono::milliseconds pass = std::chrono::seconds(5))
    {
        bridge = std::make_unique<CSkypeBridge>(window, transport, pass);
    }

    void Attach()
    {
        transport.Attach(kClient, SKYPE_ATTACH_SUCCESS);
    }

    // Attached with connection, user and user status known.
    void AttachComplete()
    {
        Attach();
        Notify("CONNSTATUS ONLINE");
        Notify("CURRENTUSERHANDLE vocamo.echo");
        Notify("USERSTATUS ONLINE");
    }

    int Notify(const std::string &text) { return transport.Notify(kClient, text); }

    size_t CountOf(const PostedMessage &m) const
    {
        const auto all = window.Messages();
        return static_cast<size_t>(std::count(all.begin(), all.end(), m));
    }

    std::vector<std::string> WindowSends() const { return transport.SentTexts(true); }
    std::vector<std::string> WorkerSends() const { return transport.SentTexts(false); }

    // Waits until the worker has sent `count` commands starting with
    // `prefix` since the record was last cleared.
    bool WaitForWorkerSends(size_t count, const std::string &prefix = "")
    {
        return transport.WaitUntil([count, prefix](const auto &sent, int) {
            return static_cast<size_t>(std::count_if(sent.begin(), sent.end(), [&](const auto &s) {
                       return !s.fromWindow && s.text.starts_with(prefix);
                   })) >= count;
        });
    }

    // One whole pass of the worker: what it sends after one PING up to and
    // including the next.
    std::vector<std::string> NextPass()
    {
        transport.ClearSent();
        const auto pings = [](const auto &sent, int) {
            return std::count_if(sent.begin(), sent.end(), [](const auto &s) {
                       return !s.fromWindow && s.text == "PING";
                   }) >= 2;
        };
        if (!transport.WaitUntil(pings))
            return {"(no two pings)"};
        const auto sends = WorkerSends();
        const auto first = std::find(sends.begin(), sends.end(), "PING");
        const auto second = std::find(first + 1, sends.end(), "PING");
        return {first + 1, second + 1};
    }

    CRecordingMessageTarget window;
    CMemorySkypeTransport transport;
    std::unique_ptr<CSkypeBridge> bridge;
};

} // namespace vocamo
