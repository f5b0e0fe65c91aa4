#include "core/Messages.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "tests/support/MemorySkypeTransport.h"
#include "tests/support/SkypeSimProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <benchmark/benchmark.h>
#include <memory>
#include <string_view>

using namespace vocamo;

namespace {

class NullTarget : public CMessageTarget {
public:
    void Post(unsigned, WPARAM, LPARAM) override { ++posted; }
    void PostAfter(std::chrono::milliseconds, unsigned, WPARAM, LPARAM) override {}
    long posted = 0;
};

// A mix of what an attached client sends while nothing much happens: status
// answers, friends' properties, call progress and things we ignore.
constexpr std::array<std::string_view, 10> kNotifications{
    "USER alice ONLINESTATUS ONLINE",
    "USER bob FULLNAME Bob van Dyke",
    "USER carol DISPLAYNAME Carol",
    "USER carol ISAUTHORIZED TRUE",
    "CURRENTUSERHANDLE vocamo.echo",
    "USERSTATUS ONLINE",
    "CALL 7 STATUS INPROGRESS",
    "CALL 7 STATUS ONHOLD",
    "PONG",
    "CHAT #alice/$bob;1 STATUS DIALOG",
};

void BM_ParseNotification(benchmark::State &state)
{
    NullTarget window;
    CMemorySkypeTransport transport;
    CSkypeBridge bridge(window, transport);
    bridge.ParseNotification("USERS alice, bob, carol");
    size_t i = 0;
    for (auto _ : state) {
        bridge.ParseNotification(kNotifications[i]);
        i = (i + 1) % kNotifications.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseNotification);

// The details of n friends asked of the simulator and stored; reports the
// whole time and the longest stretch the window thread did not get round to
// its timers (the heartbeat below), which is how long a click would wait.
void BM_FriendDetails(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    QStringList args;
    for (int i = 0; i < n; ++i)
        args << QStringLiteral("--friend") << QStringLiteral("f%1:ONLINE:Friend %1").arg(i);
    CSkypeSimProcess sim;
    if (!sim.Start(args, true)) {
        state.SkipWithError(qPrintable(sim.Error()));
        return;
    }
    CDBusSkypeTransport transport(sim.Bus());
    CTestWindow window;
    CSkypeBridge bridge(window.target, transport);
    window.bridge = &bridge;
    bridge.Discover();
    if (!PumpUntil([&] { return !bridge.GetSkypeWindow().empty(); })) {
        state.SkipWithError("not attached");
        return;
    }

    QElapsedTimer beat;
    qint64 longest = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout,
                     [&] { longest = std::max(longest, beat.restart()); });

    double totalMs = 0;
    const PostedMessage friends{WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS};
    for (auto _ : state) {
        window.got.clear();
        QElapsedTimer total;
        total.start();
        beat.start();
        heartbeat.start(1);
        bridge.OnRequest(RECEIVER_SKYPE, REQ_SKYPE_SEARCH_FRIENDS);
        const bool done =
            PumpUntil([&] { return window.Count(friends) >= n; }, std::chrono::seconds(60));
        heartbeat.stop();
        totalMs += static_cast<double>(total.nsecsElapsed()) / 1e6;
        if (!done) {
            state.SkipWithError("details did not all arrive");
            return;
        }
    }
    state.counters["total_ms"] = totalMs / static_cast<double>(state.iterations());
    state.counters["longest_block_ms"] = static_cast<double>(longest);
}
BENCHMARK(BM_FriendDetails)->Arg(1000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
