// The Skype client killed, stopped or talking nonsense, in every call state.
#include "tests/app/WindowHarness.h"
#include "tests/faults/FaultKit.h"

using namespace vocamo;
using namespace vocamo::test;

namespace {

enum class SkypeCallAt { Idle, Dialling, Ringing, Connected };
enum class Fault { Killed, Stopped, Garbage };

using Case = std::tuple<SkypeCallAt, Fault>;

std::string Name(const testing::TestParamInfo<Case> &info)
{
    const char *const states[] = {"Idle", "Dialling", "Ringing", "Connected"};
    const char *const faults[] = {"Killed", "Stopped", "Garbage"};
    return std::string(faults[static_cast<int>(std::get<1>(info.param))]) + "While" +
           states[static_cast<int>(std::get<0>(info.param))];
}

class SkypeFault : public testing::TestWithParam<Case> {};

TEST_P(SkypeFault, WindowStaysUsableAndTheLineRecovers)
{
    const auto [at, fault] = GetParam();
    WindowHarness h;
    ASSERT_TRUE(h.BothReady());

    int32_t state = NORMAL;
    switch (at) {
    case SkypeCallAt::Idle:
        break;
    case SkypeCallAt::Dialling:
        h.Key(Qt::Key_Left);
        ASSERT_EQ(h.window->ActiveLine(), LINE_SKYPE);
        h.DoubleClick(h.window->FirstFriendRow());
        state = DIALING;
        break;
    case SkypeCallAt::Ringing:
    case SkypeCallAt::Connected:
        h.skype.Control(QStringLiteral("incoming anna.b"));
        ASSERT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
        if (at == SkypeCallAt::Connected)
            h.window->CallAction();
        state = at == SkypeCallAt::Ringing ? RINGING : ANSWERING;
        break;
    }
    ASSERT_TRUE(h.Until(
        [&] { return h.window->WindowState() == state && h.window->SkypeState() == state; }));

    CStallMeter stall;
    switch (fault) {
    case Fault::Killed:
        h.skype.Kill();
        break;
    case Fault::Stopped:
        h.skype.Stop();
        h.window->HangUp(); // in a call, a send from the window thread into the silence
        break;
    case Fault::Garbage:
        h.skype.Control(QStringLiteral("garble on"));
        // Notifications cut short or odd; which keywords count is the bridge's test.
        for (const char *text : {"CALL", "CALL 101 STATUS", "USER anna.b", "\x01\x02\x7f",
                                 "\xc3\xbf\xc3\xbe CALL 1 STATUS RINGING", "ERROR 9999"})
            h.skype.Control(QStringLiteral("say ") + QString::fromUtf8(text));
        // Nor does another program on the bus, whatever it says.
        h.skype.Control(QStringLiteral("intrude CONNSTATUS OFFLINE"));
        // A few passes of the worker with noise for every answer; nonsense
        // changes nothing.
        ASSERT_TRUE(h.SimSaw(QStringLiteral("ERROR 9999")));
        for (int passes = 0; passes < 2; ++passes)
            ASSERT_TRUE(h.SimSaw(QStringLiteral("PING"), h.SimMark()));
        EXPECT_EQ(h.window->SkypeState(), state);
        EXPECT_EQ(h.window->WindowState(), state);
        // Back to sense, the far end ends the call; its news reaches us.
        h.skype.Control(QStringLiteral("garble off"));
        h.skype.Control(QStringLiteral("hangup"));
        break;
    }

    if (fault == Fault::Garbage) {
        ASSERT_TRUE(h.Until([&] { return h.window->SkypeState() == NORMAL; }));
    } else {
        // Lost: the window falls back to the modem line.
        ASSERT_TRUE(h.Until([&] { return h.window->SkypeState() == INIT; }, 10s));
        ASSERT_TRUE(h.Until([&] { return h.window->ActiveLine() == LINE_MODEM; }));
        // The friends go with the line, once the window has handled its loss.
        EXPECT_TRUE(h.Until([&] { return h.window->FirstFriendRow() == nullptr; }));
    }
    EXPECT_TRUE(h.Until([&] { return h.window->WindowState() == NORMAL; }));
    EXPECT_EQ(h.window->CallOwner(), LINE_NONE);
    EXPECT_EQ(h.window->ModemState(), NORMAL);
    h.Paint();
    EXPECT_TRUE(h.boxes.empty());
    RecordProperty("longest_stall_ms", static_cast<int>(stall.Longest().count()));
    EXPECT_LT(stall.Longest(), kHangBound);

    // The client comes back to its senses: the line is usable again.
    if (fault == Fault::Stopped)
        h.skype.Continue();
    if (fault == Fault::Killed) {
        ASSERT_TRUE(h.skype.Start(WindowOptions().skypeArguments, true));
    }
    ASSERT_TRUE(h.Until(
        [&] { return h.window->SkypeState() == NORMAL && h.window->FirstFriendRow(); }, 15s));
    h.skype.Control(QStringLiteral("incoming carl.c"));
    EXPECT_TRUE(h.Until([&] { return h.window->WindowState() == RINGING; }));
    EXPECT_EQ(h.window->CallOwner(), LINE_SKYPE);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCallState, SkypeFault,
    testing::Combine(testing::Values(SkypeCallAt::Idle, SkypeCallAt::Dialling, SkypeCallAt::Ringing,
                                     SkypeCallAt::Connected),
                     testing::Values(Fault::Killed, Fault::Stopped, Fault::Garbage)),
    Name);

} // namespace
