#include "core/CallState.h"
#include "core/QtMessageTarget.h"
#include "tests/support/RecordingMessageTarget.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace vocamo;

namespace {

// Collects delivered messages on the receiving thread.
class Receiver : public QObject {
public:
    std::vector<PostedMessage> got;
    bool event(QEvent *e) override
    {
        if (const CAppMessageEvent *m = CAppMessageEvent::From(e)) {
            got.push_back({m->message, m->wParam, m->lParam});
            return true;
        }
        return QObject::event(e);
    }
};

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "test_core";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace

TEST(MessageCodes, KeepTheirWindowsValues)
{
    EXPECT_EQ(WM_APP_EVENT, 0x401u);
    EXPECT_EQ(WM_NOTIFIER_CLICKED, 0x402u);
    EXPECT_EQ(WM_REFRESH, 0x403u);
    EXPECT_EQ(WM_RESTORE_MAIN, 0x499u);
    EXPECT_TRUE(IsCallInProgress(DIALING) && IsCallInProgress(RINGING) && IsCallInProgress(ANSWERING));
    EXPECT_FALSE(IsCallInProgress(NORMAL) || IsCallInProgress(INIT) || IsCallInProgress(9));
}

TEST(QtMessageTarget, DeliversEachThreadsMessagesInPostingOrder)
{
    App();
    Receiver receiver;
    CQtMessageTarget target(&receiver);
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                target.Post(WM_APP_EVENT, static_cast<WPARAM>(t), i);
        });
    for (auto &th : threads)
        th.join();
    target.Post(WM_REFRESH, 0, 0); // posted last, must arrive last
    QCoreApplication::sendPostedEvents(&receiver);

    ASSERT_EQ(receiver.got.size(), size_t(kThreads * kEach + 1));
    EXPECT_EQ(receiver.got.back(), (PostedMessage{WM_REFRESH, 0, 0}));
    std::vector<LPARAM> next(kThreads, 0);
    for (size_t i = 0; i + 1 < receiver.got.size(); ++i) {
        const auto &m = receiver.got[i];
        ASSERT_LT(m.wParam, size_t(kThreads));
        EXPECT_EQ(m.lParam, next[m.wParam]++) << "thread " << m.wParam << " out of order";
    }
}

TEST(QtMessageTarget, InterleavesWithOtherEventsWithoutReordering)
{
    App();
    Receiver receiver;
    CQtMessageTarget target(&receiver);
    target.Post(WM_APP_EVENT, 1, EVT_CALL_STATE);
    target.Post(WM_APP_EVENT, 1, EVT_RING);
    target.Post(WM_RESTORE_MAIN, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(receiver.got, (std::vector<PostedMessage>{{WM_APP_EVENT, 1, EVT_CALL_STATE},
                                                        {WM_APP_EVENT, 1, EVT_RING},
                                                        {WM_RESTORE_MAIN, 0, 0}}));
}

TEST(RecordingMessageTarget, WaitsForAMessageFromAnotherThread)
{
    CRecordingMessageTarget target;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        target.Post(WM_APP_EVENT, 3, EVT_OFFERING);
    });
    EXPECT_TRUE(target.WaitFor({WM_APP_EVENT, 3, EVT_OFFERING}));
    poster.join();
    EXPECT_FALSE(target.WaitFor({WM_APP_EVENT, 3, EVT_IDLE}, std::chrono::milliseconds(10)));
    EXPECT_EQ(target.Take().size(), 1u);
    EXPECT_EQ(target.Count(), 0u);
}
