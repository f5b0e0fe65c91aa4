#include "core/QtMessageTarget.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <thread>
#include <utility>
#include <vector>

using namespace vocamo;

// The line threads' state changes reach the window in each thread's order.
TEST(QtMessageTarget, DeliversEachThreadsMessagesInPostingOrder)
{
    // Keeps (wParam, lParam) of every delivered message, on the receiving thread.
    struct Receiver : QObject {
        std::vector<std::pair<WPARAM, LPARAM>> got;
        bool event(QEvent *e) override
        {
            const CAppMessageEvent *m = CAppMessageEvent::From(e);
            if (m)
                got.emplace_back(m->wParam, m->lParam);
            return m || QObject::event(e);
        }
    };
    Receiver receiver;
    CQtMessageTarget target(&receiver);
    constexpr WPARAM kThreads = 4;
    constexpr LPARAM kEach = 500;
    std::vector<std::jthread> threads;
    for (WPARAM t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (LPARAM i = 0; i < kEach; ++i)
                target.Post(WM_APP_EVENT, t, i);
        });
    threads.clear();                           // joins them
    target.Post(WM_RESTORE_MAIN, kThreads, 0); // posted after them all, so last
    QCoreApplication::processEvents();

    ASSERT_EQ(receiver.got.size(), kThreads * kEach + 1);
    EXPECT_EQ(receiver.got.back(), std::make_pair(kThreads, LPARAM(0)));
    std::vector<LPARAM> next(kThreads + 1, 0);
    for (const auto &[thread, n] : receiver.got)
        ASSERT_EQ(n, next[thread]++) << "thread " << thread << " out of order";
}
