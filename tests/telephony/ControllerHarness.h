#pragma once

// The main window's side of the message queue, for driving the call
// controller in tests: every (WM_APP_EVENT, 3, code) goes back to
// OnTapiEvent in posting order; the rest is kept as short tokens.

#include "core/Messages.h"
#include "telephony/CallController.h"
#include "telephony/TapiNames.h"
#include "tests/support/RecordingMessageTarget.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vocamo::test {

using namespace std::chrono_literals;
using Tokens = std::vector<std::string>;

inline const Tokens kReset = {"state=INIT", "state=NORMAL", "loaded"};

// Records every post and, for each state notification, the state the
// controller had entered when it posted it (the window would read the state
// only later, when handling the message).
class StampingTarget : public CMessageTarget {
public:
    void Post(unsigned message, WPARAM wParam, LPARAM lParam) override
    {
        std::lock_guard lock(m_mutex);
        // Only the window thread posts state notifications.
        if (message == WM_APP_EVENT && wParam == RECEIVER_WINDOW && lParam == EVT_CALL_STATE &&
            controller)
            m_stamps[record.Count()] = controller->GetState();
        record.Post(message, wParam, lParam);
    }

    std::optional<int32_t> StampAt(size_t index) const
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_stamps.find(index);
        return found == m_stamps.end() ? std::nullopt : std::optional<int32_t>(found->second);
    }

    CRecordingMessageTarget record;
    CCallController *controller = nullptr; // set and cleared on the window thread

private:
    mutable std::mutex m_mutex;
    std::map<size_t, int32_t> m_stamps;
};

// The main window's side of the message queue.
class Window {
public:
    explicit Window(StampingTarget &target) : m_target(target.record), m_stamps(target) {}

    void SetController(CCallController *controller) { m_controller = controller; }

    // Handles what is queued until `done` holds for the window's messages.
    bool PumpUntil(const std::function<bool(const Tokens &)> &done,
                   std::chrono::milliseconds timeout = 10s)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            HandleQueued();
            if (done(m_seen))
                return true;
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            m_target.WaitUntil([&](const auto &all) { return all.size() > m_handled; }, 20ms);
        }
    }

    bool PumpUntilSeen(const std::string &token)
    {
        return PumpUntil([&](const Tokens &seen) {
            return std::find(seen.begin(), seen.end(), token) != seen.end();
        });
    }

    // What the window saw once it has seen `count` messages (or waited long).
    Tokens TakeWhen(size_t count)
    {
        PumpUntil([&](const Tokens &seen) { return seen.size() >= count; });
        return Take();
    }

    // What the window saw up to now: a marker posted behind everything
    // queued comes back once all of it was handled.
    Tokens TakeAll()
    {
        m_target.Post(kMarker, 0, 0);
        PumpUntilSeen("marker");
        Tokens seen = Take();
        seen.pop_back();
        return seen;
    }

    Tokens Take() { return std::exchange(m_seen, {}); }

private:
    static constexpr unsigned kMarker = 0x7fff;

    void HandleQueued()
    {
        for (;;) {
            const std::vector<PostedMessage> all = m_target.Messages();
            if (m_handled >= all.size())
                return;
            Handle(all[m_handled], m_handled);
            ++m_handled;
        }
    }

    void Handle(const PostedMessage &m, size_t index)
    {
        if (m.message == WM_APP_EVENT && m.wParam == RECEIVER_CONTROLLER) {
            if (m_controller)
                m_controller->OnTapiEvent(m.wParam, m.lParam);
            return;
        }
        m_seen.push_back(TokenFor(m, index));
    }

    std::string TokenFor(const PostedMessage &m, size_t index) const
    {
        if (m.message == kMarker)
            return "marker";
        if (m.message == WM_RESTORE_MAIN)
            return "restore";
        if (m.message == WM_APP_EVENT && m.wParam == RECEIVER_WINDOW) {
            switch (m.lParam) {
            case EVT_CALL_STATE:
                // Posts made while the controller was being constructed have
                // no stamp; nothing else has happened since then.
                if (const auto stamp = m_stamps.StampAt(index))
                    return "state=" + StateName(*stamp);
                return m_controller ? "state=" + StateName(m_controller->GetState()) : "state";
            case EVT_RING:
                return "ring";
            case EVT_PARTY:
                return "party";
            case EVT_BOOKMARKS_LOADED:
                return "loaded";
            }
        }
        return "message " + std::to_string(m.message) + "," + std::to_string(m.wParam) + "," +
               std::to_string(m.lParam);
    }

    CRecordingMessageTarget &m_target;
    const StampingTarget &m_stamps;
    CCallController *m_controller = nullptr;
    size_t m_handled = 0;
    Tokens m_seen;
};

} // namespace vocamo::test
