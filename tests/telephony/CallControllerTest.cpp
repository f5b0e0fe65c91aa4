// The call controller against the real TAPI layer and the modem simulator on
// a pseudo-terminal; the test plays the main window (ControllerHarness.h).

#include "telephony/CallController.h"

#include "core/CallState.h"
#include "core/Messages.h"
#include "platform/tapi/ModemProvider.h"
#include "tests/telephony/ControllerHarness.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace vocamo;
using namespace vocamo::test;

namespace {

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
            std::make_unique<CCallController>(m_target, m_dir.Path(), settings, m_lineRetry);
        m_window.SetController(m_controller.get());
        m_target.controller = m_controller.get();
        if (m_opens) {
            ASSERT_EQ(m_window.TakeWhen(2), (Tokens{"state=NORMAL", "loaded"}));
        }
    }

    void TearDown() override { Destroy(); }

    void Destroy()
    {
        m_window.SetController(nullptr);
        m_controller.reset();
        m_target.controller = nullptr;
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

    void WaitForRings(int rings)
    {
        ASSERT_TRUE(m_window.PumpUntil([&](const Tokens &seen) {
            return std::count(seen.begin(), seen.end(), "ring") >= rings;
        }));
    }

    static ModemTimeouts TestTimeouts()
    {
        ModemTimeouts timeouts;
        timeouts.probe = 1000ms;
        timeouts.command = 2000ms;
        timeouts.ringGiveUp = 1500ms;
        return timeouts;
    }

    ModemTimeouts m_timeouts = TestTimeouts();
    std::chrono::milliseconds m_lineRetry = CCallController::kLineRetry;
    std::shared_ptr<CModemProbeCache> m_probes = std::make_shared<CModemProbeCache>();
    bool m_opens;
    TempDir m_dir;
    CModemSim m_sim;
    StampingTarget m_target;
    Window m_window{m_target};
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

// A modem too slow to answer its reset at start-up, until told otherwise:
// probed again by the red handset (false) or by the retry (true).
class SlowResetTest : public CallControllerTest, public ::testing::WithParamInterface<bool> {
protected:
    SlowResetTest() : CallControllerTest(SimOptions(true, true, 600ms))
    {
        m_timeouts.probe = 300ms;
        if (GetParam())
            m_lineRetry = 50ms;
    }
};

// A caller who never gives up: on a loaded machine a short give-up could end
// the offered call before the test acts on it.
class PatientCallerTest : public CallControllerTest {
protected:
    PatientCallerTest() { m_timeouts.ringGiveUp = 60s; }
};

} // namespace

TEST_F(CallControllerTest, OutgoingCallRunsDialingAnsweringAndBackToNormal)
{
    EXPECT_EQ(m_controller->GetBookmarkCount(), 2);
    m_controller->Dial("0221550123");
    EXPECT_EQ(m_window.TakeWhen(2), (Tokens{"state=DIALING", "party"}));
    EXPECT_EQ(m_controller->GetNumber(), "0221550123");
    EXPECT_EQ(m_controller->GetName(), "Anna");
    ASSERT_TRUE(m_sim.WaitForCommand("ATD0221550123"));

    ASSERT_TRUE(m_sim.Control("answer"));
    EXPECT_EQ(m_window.TakeWhen(1), (Tokens{"state=ANSWERING"}));
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));

    ASSERT_TRUE(m_sim.Control("hangup"));
    ASSERT_TRUE(m_window.PumpUntilSeen("loaded"));
    EXPECT_EQ(m_window.TakeAll(), kReset);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
    EXPECT_EQ(m_controller->GetNumber(), "");
    EXPECT_EQ(m_controller->GetName(), "");
}

// The call is the handset's then, and connected all the same, either way.
TEST_F(NoSpeakerphoneTest, ConnectionWithoutAPhoneDeviceIsAnsweringAllTheSame)
{
    m_controller->Dial("555");
    ASSERT_TRUE(m_sim.WaitForCommand("ATD555"));
    ASSERT_TRUE(m_sim.Control("answer"));
    EXPECT_EQ(m_window.TakeWhen(3), (Tokens{"state=DIALING", "party", "state=ANSWERING"}));
    m_controller->Reset();
    ASSERT_TRUE(m_sim.Control("ring 20 0999"));
    ASSERT_TRUE(m_window.PumpUntilSeen("state=RINGING"));
    m_controller->Answer();
    EXPECT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
}

// The disconnection, the idle state and an unplugged line's closing each
// report the end; the line is reset once.
TEST_F(CallControllerTest, EveryCallEndResetsTheLineOnce)
{
    for (const std::string end : {"noanswer", "nodialtone", "unplug"}) {
        m_sim.ClearReceived();
        m_controller->Dial("555");
        ASSERT_TRUE(m_sim.WaitForCommand("ATD555"));
        ASSERT_TRUE(m_sim.Control(end));
        ASSERT_TRUE(m_window.PumpUntilSeen("loaded"));
        const Tokens reset = end == "unplug" ? Tokens{"state=INIT", "loaded"} : kReset;
        Tokens expected{"state=DIALING", "party"};
        expected.insert(expected.end(), reset.begin(), reset.end());
        EXPECT_EQ(m_window.TakeAll(), expected) << end;
    }
}

TEST_F(CallControllerTest, DialOfAnInvalidNumberResetsAndRestoresTheWindow)
{
    m_sim.ClearReceived();
    m_controller->Dial("12;ATH");
    EXPECT_EQ(m_window.TakeWhen(4), (Tokens{"state=INIT", "state=NORMAL", "loaded", "restore"}));
    for (const std::string &command : m_sim.Received())
        EXPECT_NE(command.rfind("ATD", 0), 0u) << command;
    EXPECT_EQ(m_controller->GetNumber(), "");
}

TEST_F(DataModemTest, WithoutAVoiceModemStaysInitAndADialOnlyRestoresTheWindow)
{
    EXPECT_EQ(m_window.TakeWhen(1), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
    EXPECT_EQ(m_controller->GetBookmarkCount(), 2);
    m_controller->Dial("555");
    // Already INIT: the reset changes no state, so only the reload shows.
    EXPECT_EQ(m_window.TakeWhen(2), (Tokens{"loaded", "restore"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
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

TEST_F(CallControllerTest, UnansweredIncomingCallRingsPerRingAndEndsWithAReset)
{
    ASSERT_TRUE(m_sim.Control("ring 3 0171555"));
    WaitForRings(3);
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring", "party", "ring", "ring"}));
    EXPECT_EQ(m_controller->GetNumber(), "0171555");
    EXPECT_EQ(m_controller->GetName(), "Anna"); // Anna's mobile, before Bert's home

    // The caller gives up: the line reports the call idle.
    ASSERT_TRUE(m_window.PumpUntilSeen("loaded"));
    EXPECT_EQ(m_window.TakeAll(), kReset);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
}

TEST_F(PatientCallerTest, AnsweredIncomingCallSwitchesTheSpeakerphoneOnAndResetHangsUp)
{
    ASSERT_TRUE(m_sim.Control("ring 20 0999"));
    ASSERT_TRUE(m_window.PumpUntilSeen("party"));
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring", "party"}));
    EXPECT_EQ(m_controller->GetName(), ""); // not in the phonebook

    m_controller->Answer();
    EXPECT_EQ(m_controller->GetState(), RINGING);
    ASSERT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=1"));
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));
    Tokens tokens = m_window.TakeAll();
    // Rings already on their way before the answer still ring.
    tokens.erase(std::remove(tokens.begin(), tokens.end(), "ring"), tokens.end());
    EXPECT_EQ(tokens, (Tokens{"state=ANSWERING"}));

    m_sim.ClearReceived();
    m_controller->Reset();
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=0"));
    EXPECT_EQ(m_window.TakeWhen(3), kReset);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
    EXPECT_EQ(m_controller->GetNumber(), "");
}

TEST_F(PatientCallerTest, RedHandsetWhileRingingRefusesTheCall)
{
    ASSERT_TRUE(m_sim.Control("ring 20 0999"));
    ASSERT_TRUE(m_window.PumpUntilSeen("party"));
    m_sim.ClearReceived();
    m_controller->Reset();
    const auto sent = m_sim.Received();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(Tokens(sent.begin(), sent.begin() + 3), (Tokens{"AT+VLS=1", "<DLE>!", "AT+VLS=0"}));
    m_window.Take();
    EXPECT_EQ(m_window.TakeWhen(3), kReset);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
}

TEST_F(CallControllerTest, FailedAnswerResetsWithoutRestoringTheWindow)
{
    m_controller->Answer(); // nothing is offered
    EXPECT_EQ(m_window.TakeWhen(3), kReset);
    EXPECT_EQ(m_window.TakeAll(), Tokens{});
    EXPECT_EQ(m_controller->GetState(), NORMAL);
}

TEST_F(PatientCallerTest, DialRefusedDuringAnOfferedCallDropsItAndRestoresTheWindow)
{
    ASSERT_TRUE(m_sim.Control("ring 2"));
    WaitForRings(2);
    m_window.Take();
    m_controller->Dial("555");
    EXPECT_EQ(m_window.TakeWhen(4), (Tokens{"state=INIT", "state=NORMAL", "loaded", "restore"}));
}

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
    EXPECT_EQ(m_controller->GetNumber(), "");
    EXPECT_EQ(m_controller->GetName(), "Unknown");

    // An offer during the call moves it to RINGING.
    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING);
    EXPECT_EQ(m_window.TakeWhen(2), (Tokens{"state=RINGING", "ring"}));
}

TEST_F(CallControllerTest, PhonebookChangeDuringACallReloadsAndLeavesTheCallAlone)
{
    Connect("0221550123");
    m_sim.ClearReceived();
    TempDir::Write(m_dir.File("Bookmark.ini"),
                   std::string("[Zoe]\nPhone_Home=0221550123\n") + kPhonebook);

    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_BOOKMARKCHANGED);
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
    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING);
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
    for (const auto &[number, name] :
         std::vector<std::pair<std::string, std::string>>{{"111", "Anna"},
                                                          {"444", "Anna"},
                                                          {"222", "Bert"},
                                                          {"333", "Cora"},
                                                          {"0221 55-01", "Dora"},
                                                          {"02215501", ""},
                                                          {"ABC", ""},
                                                          {"11", ""},
                                                          {"", ""}})
        EXPECT_EQ(m_controller->FindNameForNumber(number), name) << number;

    std::filesystem::remove(m_dir.File("Bookmark.ini"));
    m_controller->LoadPhonebook();
    EXPECT_EQ(m_controller->GetBookmarkCount(), 0);
    EXPECT_EQ(m_controller->FindNameForNumber("111"), "");
}
