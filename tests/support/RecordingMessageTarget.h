#pragma once

#include "core/MessageTarget.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace vocamo {

struct PostedMessage {
    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const PostedMessage &) const = default;
};

// Keeps every posted message in order; tests read and wait on them.
class CRecordingMessageTarget : public CMessageTarget {
public:
    void Post(unsigned message, WPARAM wParam, LPARAM lParam) override;
    // No clock here: what would come later never comes.
    void PostAfter(std::chrono::milliseconds, unsigned, WPARAM, LPARAM) override {}

    std::vector<PostedMessage> Messages() const;
    std::vector<PostedMessage> Take(); // returns and forgets them
    size_t Count() const;
    void Clear();

    // Waits until a message equal to `wanted` has been posted (counting from
    // the start of the record); false on time-out.
    bool WaitFor(const PostedMessage &wanted,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    bool WaitUntil(const std::function<bool(const std::vector<PostedMessage> &)> &pred,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_posted;
    std::vector<PostedMessage> m_messages;
};

} // namespace vocamo
