// The call controller against the real TAPI layer and the modem simulator on
// a pseudo-terminal; the test plays the main window.
#include "telephony/CallController.h"

#include "core/Messages.h"
#include "platform/tapi/ModemProvider.h"
#include "telephony/TapiNames.h"
#include "tests/support/TempDir.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace vocamo;
using namespace vocamo::test;
using namespace std::chrono_literals;

namespace {

using Tokens = std::vector<std::string>;

const Tokens kReset = {"state=INIT", "state=NORMAL", "loaded"};

// The main window's side of the message queue: every (WM_APP_EVENT, 3, code)
// goes back to OnTapiEvent in posting order; the rest is kept as short tokens.
// A state notification is named after the state the controller had entered
// when it posted it, as the window would read the state only later. Only the
// window thread posts to the window; the event thread posts to the controller.
class Window : public CMessageTarget {
public:
    void Post(unsigned message, WPARAM wParam, LPARAM lParam) override
    {
        const bool toController = message == WM_APP_EVENT && wParam == RECEIVER_CONTROLLER;
        std::string token = toController ? std::string() : TokenFor(message, wParam, lParam);
        std::lock_guard lock(m_mutex);
        m_queue.emplace_back(lParam, std::move(token));
        m_posted.notify_all();
    }
    // The window thread's timers, each a thread of the test waiting out its delay.
    void PostAfter(std::chrono::milliseconds delay, unsigned message, WPARAM wParam,
                   LPARAM lParam) override
    {
        m_timers.emplace_back([=, this](std::stop_token stop) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            std::condition_variable_any().wait_for(lock, stop, delay, [] { return false; });
            if (!stop.stop_requested())
                Post(message, wParam, lParam);
        });
    }

    // Handles what is queued until `done` holds for the window's tokens.
    bool PumpUntil(const std::function<bool(const Tokens &)> &done,
                   std::chrono::milliseconds timeout = 10s)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(m_mutex);
        for (;;) {
            while (!m_queue.empty()) {
                auto [code, token] = std::move(m_queue.front());
                m_queue.pop_front();
                lock.unlock();
                if (!token.empty())
                    m_seen.push_back(token == "state" && controller
                                         ? "state=" + StateName(controller->GetState())
                                         : token); // posted while it was being built
                else if (controller)
                    controller->OnTapiEvent(RECEIVER_CONTROLLER, code);
                lock.lock();
            }
            if (done(m_seen))
                return true;
            if (m_posted.wait_until(lock, deadline) == std::cv_status::timeout && m_queue.empty())
                return false;
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
        Post(kMarker, 0, 0);
        PumpUntilSeen("marker");
        Tokens seen = Take();
        seen.pop_back();
        return seen;
    }
    Tokens Take() { return std::exchange(m_seen, {}); }

    CCallController *controller = nullptr;

private:
    static constexpr unsigned kMarker = 0x7fff;

    std::string TokenFor(unsigned message, WPARAM wParam, LPARAM lParam) const
    {
        if (message == kMarker)
            return "marker";
        if (message == WM_RESTORE_MAIN)
            return "restore";
        if (message == WM_APP_EVENT && wParam == RECEIVER_WINDOW) {
            switch (lParam) {
            case EVT_CALL_STATE:
                return controller ? "state=" + StateName(controller->GetState()) : "state";
            case EVT_RING:
                return "ring";
            case EVT_PARTY:
                return "party";
            case EVT_BOOKMARKS_LOADED:
                return "loaded";
            case EVT_CALL_ENDED: { // with why, as the line said
                const auto end = controller ? controller->TakeCallEnd() : std::nullopt;
                return "ended=" + (end ? CallEndText(end->reason, {}) : std::string("?"));
            }
            }
        }
        return "message " + std::to_string(message) + "," + std::to_string(wParam) + "," +
               std::to_string(lParam);
    }

    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::pair<LPARAM, std::string>> m_queue;
    Tokens m_seen;
    std::vector<std::jthread> m_timers; // stopped before the queue goes
};

const char *kPhonebook = "[Anna]\nPhone_Home=0221550123\nPhone_Office=\nPhone_Mobile=0171555\n"
                         "[Bert]\nPhone_Home=0171555\nPhone_Office=0300\nPhone_Mobile=\n";

class CallControllerTest : public ::testing::Test {
protected:
    explicit CallControllerTest(ModemSimOptions options = SimOptions(true, true, 0ms))
        : m_opens(options.voice && options.resetDelay == 0ms), m_sim(options)
    {
    }

    static ModemSimOptions SimOptions(bool voice, bool speakerphone,
                                      std::chrono::milliseconds resetDelay = 0ms)
    {
        ModemSimOptions options;
        options.resetDelay = resetDelay;
        options.ringInterval = 400ms;
        options.log = false;
        options.voice = voice;
        options.speakerphone = speakerphone;
        return options;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_sim.Start());
        TempDir::Write(m_dir.File("Bookmark.ini"), kPhonebook);
        m_provider = std::make_unique<CModemProvider>(
            [path = m_sim.SlavePath()] { return std::vector<std::string>{path}; }, m_timeouts,
            m_probes);
        CTapiClient::Settings settings;
        settings.tapi = m_provider.get();
        settings.probeCache = m_probes;
        settings.modemTimeouts = m_timeouts;
        settings.messageWait = 100ms;
        m_controller =
            std::make_unique<CCallController>(m_window, m_dir.Path(), settings, m_lineRetry);
        m_window.controller = m_controller.get();
        if (m_opens) {
            ASSERT_EQ(m_window.TakeWhen(2), (Tokens{"state=NORMAL", "loaded"}));
        }
    }

    void TearDown() override { Destroy(); }

    void Destroy()
    {
        m_controller.reset();
        m_window.controller = nullptr;
    }

    // An outgoing call, answered by the other party, speakerphone on.
    void Connect(const std::string &number)
    {
        m_controller->Dial(number);
        ASSERT_TRUE(m_sim.WaitForCommand("ATD" + number));
        ASSERT_TRUE(m_sim.Control("answer"));
        ASSERT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
        ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));
        m_window.TakeAll();
    }

    // A caller who never gives up: on a loaded machine a short give-up could
    // end an offered call before the test acts on it.
    ModemTimeouts m_timeouts{1000ms, 2000ms, 60s};
    std::chrono::milliseconds m_lineRetry = CCallController::kLineRetry;
    std::shared_ptr<CModemProbeCache> m_probes = std::make_shared<CModemProbeCache>();
    bool m_opens;
    TempDir m_dir;
    CModemSim m_sim;
    Window m_window;
    std::unique_ptr<CModemProvider> m_provider;
    std::unique_ptr<CCallController> m_controller;
};

class DataModemTest : public CallControllerTest {
protected:
    DataModemTest() : CallControllerTest(SimOptions(false, true)) {}
};

class NoSpeakerphoneTest : public CallControllerTest {
protected:
    NoSpeakerphoneTest() : CallControllerTest(SimOptions(true, false)) {}
};

// A modem far too slow to answer its reset at start-up, until told otherwise:
// probed again by the red handset (false) or by the retry (true).
class SlowResetTest : public CallControllerTest, public ::testing::WithParamInterface<bool> {
protected:
    SlowResetTest() : CallControllerTest(SimOptions(true, true, 1500ms))
    {
        m_timeouts.probe = 300ms;
        if (GetParam())
            m_lineRetry = 50ms;
    }
};

} // namespace

// The call is the handset's then, and connected all the same, either way.
TEST_F(NoSpeakerphoneTest, ConnectionWithoutAPhoneDeviceIsAnsweringAllTheSame)
{
    m_controller->Dial("555");
    ASSERT_TRUE(m_sim.WaitForCommand("ATD555"));
    ASSERT_TRUE(m_sim.Control("answer"));
    EXPECT_EQ(m_window.TakeWhen(3), (Tokens{"state=DIALING", "party", "state=ANSWERING"}));
}

// However a dialled call ends, before or after the answer, the line is reset
// once and the party forgotten; an unplugged line stays closed.
TEST_F(CallControllerTest, EveryCallEndResetsTheLineOnce)
{
    for (const auto &[end, why] : {std::pair<std::string, std::string>{"noanswer", "No answer"},
                                   {"nodialtone", "No dial tone"},
                                   {"hangup", "Call ended 00:00"},
                                   {"unplug", "Call failed"}}) {
        m_sim.ClearReceived();
        m_controller->Dial("0221550123");
        ASSERT_TRUE(m_sim.WaitForCommand("ATD0221550123"));
        Tokens expected{"state=DIALING", "party"};
        if (end == "hangup") { // the far end answers first
            ASSERT_TRUE(m_sim.Control("answer"));
            ASSERT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
            expected.push_back("state=ANSWERING");
        }
        ASSERT_TRUE(m_sim.Control(end));
        ASSERT_TRUE(m_window.PumpUntilSeen("loaded"));
        const Tokens reset = end == "unplug" ? Tokens{"state=INIT", "loaded"} : kReset;
        expected.push_back("ended=" + why);
        expected.insert(expected.end(), reset.begin(), reset.end());
        EXPECT_EQ(m_window.TakeAll(), expected) << end;
        EXPECT_EQ(m_controller->GetNumber() + m_controller->GetName(), "") << end;
    }
}

// A dial the line refuses, of an invalid number or during an offered call,
// resets the line (dropping that call) and brings the window back; a
// refused answer only resets the line.
TEST_F(CallControllerTest, RefusedDialResetsTheLineAndRestoresTheWindow)
{
    m_controller->Answer(); // nothing is offered
    EXPECT_EQ(m_window.TakeWhen(3), kReset);
    m_controller->Dial("12;ATH");
    EXPECT_EQ(m_window.TakeWhen(5), (Tokens{"ended=Not a valid number", "state=INIT",
                                            "state=NORMAL", "loaded", "restore"}));
    ASSERT_TRUE(m_sim.Control("ring 2"));
    ASSERT_TRUE(m_window.PumpUntilSeen("ring"));
    m_window.Take();
    m_controller->Dial("555");
    EXPECT_EQ(m_window.TakeWhen(5),
              (Tokens{"ended=Call failed", "state=INIT", "state=NORMAL", "loaded", "restore"}));
}

TEST_F(DataModemTest, WithoutAVoiceModemStaysInitAndADialOnlyRestoresTheWindow)
{
    EXPECT_EQ(m_window.TakeWhen(1), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
    EXPECT_EQ(m_controller->GetBookmarkCount(), 2);
    m_controller->Dial("555");
    // Already INIT: the reset changes no state, so only the reload shows.
    EXPECT_EQ(m_window.TakeWhen(3), (Tokens{"ended=Call failed", "loaded", "restore"}));
}

TEST_P(SlowResetTest, ModemSlowOnceIsProbedAgain)
{
    EXPECT_EQ(m_window.TakeWhen(1), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
    ASSERT_TRUE(m_sim.Control("reset-delay 0"));
    if (!GetParam())
        m_controller->Reset();
    EXPECT_TRUE(m_window.PumpUntilSeen("state=NORMAL"));
}

INSTANTIATE_TEST_SUITE_P(ByResetOrRetry, SlowResetTest, ::testing::Bool());

TEST_F(CallControllerTest, EventsThatChangeNothingPostNothing)
{
    Connect("555");
    EXPECT_EQ(m_controller->GetName(), "Unknown");
    // A ring report outside RINGING, an unknown call state, and a caller ID
    // report while the client holds none (the number goes, the name stays).
    for (LPARAM code : {EVT_LINEDEVSTATE, EVT_CALLSTATE_DEFAULT, LPARAM{31}, EVT_CALLERID})
        EXPECT_EQ(m_controller->OnTapiEvent(RECEIVER_CONTROLLER, code), 1);
    EXPECT_EQ(m_window.TakeAll(), Tokens{});
    EXPECT_EQ(m_controller->GetState(), ANSWERING);
    EXPECT_EQ(m_controller->GetNumber() + "|" + m_controller->GetName(), "|Unknown");

    // An offer during the call moves it to RINGING.
    m_window.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING);
    EXPECT_EQ(m_window.TakeWhen(2), (Tokens{"state=RINGING", "ring"}));
}

TEST_F(CallControllerTest, PhonebookChangeDuringACallReloadsAndLeavesTheCallAlone)
{
    Connect("0221550123");
    m_sim.ClearReceived();
    TempDir::Write(m_dir.File("Bookmark.ini"),
                   std::string("[Zoe]\nPhone_Home=0221550123\n") + kPhonebook);

    m_window.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_BOOKMARKCHANGED);
    EXPECT_EQ(m_window.TakeWhen(1), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetState(), ANSWERING);
    EXPECT_EQ(m_controller->GetName(), "Anna"); // not looked up again
    EXPECT_EQ(m_controller->FindNameForNumber("0221550123"), "Zoe");
    EXPECT_TRUE(m_sim.Received().empty());
}

TEST_F(CallControllerTest, DestroyingTheControllerDuringACallHangsUpAndPostsInit)
{
    Connect("555");
    m_sim.ClearReceived();
    Destroy();
    const auto sent = m_sim.Received();
    EXPECT_TRUE(std::find(sent.begin(), sent.end(), "AT+VLS=0") != sent.end()) << "no hang-up";
    EXPECT_EQ(m_window.TakeAll(), (Tokens{"state=INIT"}));
}

TEST_F(CallControllerTest, DialOutsideNormalCountsAsConnectedAtOnce)
{
    // RINGING without a call on the line: the modem takes the new call.
    m_window.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING);
    m_window.TakeWhen(2);
    m_controller->Dial("555");
    EXPECT_EQ(m_window.TakeWhen(3), (Tokens{"state=DIALING", "party", "state=ANSWERING"}));
    EXPECT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));
}

TEST_F(CallControllerTest, FindNameForNumberTakesTheLowestIndexInAnyFieldByExactBytes)
{
    TempDir::Write(m_dir.File("Bookmark.ini"),
                   "[Anna]\nPhone_Home=111\nPhone_Office=\nPhone_Mobile=444\n"
                   "[Bert]\nPhone_Home=444\nPhone_Office=222\nPhone_Mobile=111\n"
                   "[Cora]\nPhone_Office=333\n"
                   "[Dora]\nPhone_Home=0221 55-01\nPhone_Mobile=abc\n");
    m_controller->LoadPhonebook();
    const std::pair<const char *, const char *> kCases[] = {
        {"111", "Anna"},  {"444", "Anna"}, {"222", "Bert"}, {"333", "Cora"}, {"0221 55-01", "Dora"},
        {"02215501", ""}, {"ABC", ""},     {"11", ""},      {"", ""}};
    for (const auto &[number, name] : kCases)
        EXPECT_EQ(m_controller->FindNameForNumber(number), name) << number;
}
