// The call controller against the real TAPI layer and the modem simulator on
// a pseudo-terminal; the test plays the main window (ControllerHarness.h).

#include "telephony/CallController.h"

#include "core/CallState.h"
#include "core/Messages.h"
#include "platform/tapi/ModemProvider.h"
#include "telephony/TapiNames.h"
#include "tests/telephony/ControllerHarness.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace vocamo;
using namespace vocamo::test;

namespace {

const char *kPhonebook = "[Anna]\n"
                         "Phone_Home=0221550123\n"
                         "Phone_Office=\n"
                         "Phone_Mobile=0171555\n"
                         "[Bert]\n"
                         "Phone_Home=0171555\n"
                         "Phone_Office=0300\n"
                         "Phone_Mobile=\n";

ModemTimeouts TestTimeouts()
{
    ModemTimeouts timeouts;
    timeouts.probe = 1000ms;
    timeouts.command = 2000ms;
    timeouts.ringGiveUp = 1500ms;
    return timeouts;
}

class CallControllerTest : public ::testing::Test {
protected:
    explicit CallControllerTest(ModemSimOptions options = DefaultSimOptions())
        : m_sim(options), m_window(m_target)
    {
    }

    static ModemSimOptions DefaultSimOptions()
    {
        ModemSimOptions options;
        options.ringInterval = 400ms;
        options.log = false;
        return options;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_sim.Start());
        m_dir.Write("Bookmark.ini", kPhonebook);
        m_provider = std::make_unique<CModemProvider>(
            [path = m_sim.SlavePath()] { return std::vector<std::string>{path}; }, m_timeouts);
        Create();
    }

    void TearDown() override { Destroy(); }

    void Destroy()
    {
        m_window.SetController(nullptr);
        m_controller.reset();
        m_target.controller = nullptr;
    }

    void Create()
    {
        CTapiClient::Settings settings;
        settings.tapi = m_provider.get();
        settings.modemTimeouts = m_timeouts;
        settings.messageWait = 100ms;
        m_controller = std::make_unique<CCallController>(m_target, m_dir.Path(), settings);
        m_window.SetController(m_controller.get());
        m_target.controller = m_controller.get();
    }

    // An outgoing call, answered by the other party, speakerphone on.
    void Connect(const std::string &number)
    {
        m_window.Settle();
        m_window.Take();
        m_controller->Dial(number);
        ASSERT_TRUE(m_sim.WaitForCommand("ATD" + number));
        ASSERT_TRUE(m_sim.Control("answer"));
        ASSERT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
        m_window.Settle();
        m_window.Take();
    }

    bool SimReceived(const std::string &command) const
    {
        const auto all = m_sim.Received();
        return std::find(all.begin(), all.end(), command) != all.end();
    }

    ModemTimeouts m_timeouts = TestTimeouts();
    TempDir m_dir;
    CModemSim m_sim;
    StampingTarget m_target;
    Window m_window;
    std::unique_ptr<CModemProvider> m_provider;
    std::unique_ptr<CCallController> m_controller;
};

class CallControllerDataModemTest : public CallControllerTest {
protected:
    CallControllerDataModemTest() : CallControllerTest(Options()) {}
    static ModemSimOptions Options()
    {
        ModemSimOptions options = DefaultSimOptions();
        options.voice = false;
        return options;
    }
};

class CallControllerNoSpeakerphoneTest : public CallControllerTest {
protected:
    CallControllerNoSpeakerphoneTest() : CallControllerTest(Options()) {}
    static ModemSimOptions Options()
    {
        ModemSimOptions options = DefaultSimOptions();
        options.speakerphone = false;
        return options;
    }
};

} // namespace

// --- construction -----------------------------------------------------------

TEST_F(CallControllerTest, StartsNormalWithAVoiceModemAndLoadsThePhonebook)
{
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=NORMAL", "loaded"}));
    EXPECT_EQ(m_controller->GetState(), NORMAL);
    ASSERT_EQ(m_controller->GetBookmarkCount(), 2);
    EXPECT_EQ(m_controller->GetBookmark(1)->name, "Bert");
    EXPECT_EQ(m_controller->GetBookmark(2), nullptr);
    EXPECT_EQ(m_controller->GetNumber(), "");
    EXPECT_EQ(m_controller->GetName(), "");
}

TEST_F(CallControllerDataModemTest, StaysInInitWithoutAVoiceModemButLoadsThePhonebook)
{
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
    EXPECT_EQ(m_controller->GetBookmarkCount(), 2);
}

// --- outgoing calls ---------------------------------------------------------

TEST_F(CallControllerTest, OutgoingCallRunsDialingAnsweringAndBackToNormal)
{
    m_window.Settle();
    m_window.Take();

    m_controller->Dial("0221550123");
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=DIALING", "party"}));
    EXPECT_EQ(m_controller->GetNumber(), "0221550123");
    EXPECT_EQ(m_controller->GetName(), "Anna");
    ASSERT_TRUE(m_sim.WaitForCommand("ATD0221550123"));

    ASSERT_TRUE(m_sim.Control("answer"));
    ASSERT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=ANSWERING"}));

    ASSERT_TRUE(m_sim.Control("hangup"));
    ASSERT_TRUE(m_window.PumpUntilSeen("loaded"));
    m_window.Settle();
    const Tokens tokens = m_window.Take();
    EXPECT_TRUE(IsOneOrTwoResets(tokens)) << ::testing::PrintToString(tokens);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
    EXPECT_EQ(m_controller->GetNumber(), "");
    EXPECT_EQ(m_controller->GetName(), "");
}

TEST_F(CallControllerTest, DialledNumberOutsideThePhonebookIsUnknown)
{
    m_window.Settle();
    m_window.Take();
    m_controller->Dial("555");
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=DIALING", "party"}));
    EXPECT_EQ(m_controller->GetName(), "Unknown");
    EXPECT_EQ(m_controller->GetNumber(), "555");
}

TEST_F(CallControllerNoSpeakerphoneTest, ConnectionWithoutAPhoneDeviceLeavesTheStateAlone)
{
    m_window.Settle();
    m_window.Take();
    m_controller->Dial("555");
    ASSERT_TRUE(m_sim.WaitForCommand("ATD555"));
    ASSERT_TRUE(m_sim.Control("answer"));
    ASSERT_TRUE(m_window.PumpUntilEvent(EVT_CONNECTED));
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=DIALING", "party"}));
    EXPECT_EQ(m_controller->GetState(), DIALING);
}

TEST_F(CallControllerTest, DialOnAnUnpluggedPortResetsAndRestoresTheWindow)
{
    m_window.Settle();
    m_window.Take();
    ASSERT_TRUE(m_sim.Control("unplug"));
    ASSERT_TRUE(m_sim.Unplugged());
    std::this_thread::sleep_for(100ms); // let the line notice
    m_window.Settle();
    m_window.Take();

    // The line closing already reset the controller, which found no modem.
    EXPECT_EQ(m_controller->GetState(), INIT);

    m_controller->Dial("555");
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"loaded", "restore"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
    EXPECT_EQ(m_controller->GetName(), "");
}

TEST_F(CallControllerTest, DialOfAnInvalidNumberResetsAndRestoresTheWindow)
{
    m_window.Settle();
    m_window.Take();
    m_sim.ClearReceived();

    m_controller->Dial("12;ATH");
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=INIT", "state=NORMAL", "loaded", "restore"}));
    for (const std::string &command : m_sim.Received())
        EXPECT_NE(command.rfind("ATD", 0), 0u) << command;
    EXPECT_EQ(m_controller->GetNumber(), "");
}

// --- incoming calls ---------------------------------------------------------

TEST_F(CallControllerTest, UnansweredIncomingCallRingsPerRingAndEndsWithAReset)
{
    m_window.Settle();
    m_window.Take();
    ASSERT_TRUE(m_sim.Control("ring 3 0221550123"));

    ASSERT_TRUE(m_window.PumpUntil(
        [](const Tokens &seen) { return std::count(seen.begin(), seen.end(), "ring") == 3; }));
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring", "party", "ring", "ring"}));
    EXPECT_EQ(m_controller->GetNumber(), "0221550123");
    EXPECT_EQ(m_controller->GetName(), "Anna");

    // The caller gives up: the line reports the call idle.
    ASSERT_TRUE(m_window.PumpUntilSeen("loaded"));
    m_window.Settle();
    const Tokens tokens = m_window.Take();
    EXPECT_TRUE(IsOneOrTwoResets(tokens)) << ::testing::PrintToString(tokens);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
}

TEST_F(CallControllerTest, CallerOutsideThePhonebookHasNoName)
{
    m_window.Settle();
    m_window.Take();
    ASSERT_TRUE(m_sim.Control("ring 2 0999"));
    ASSERT_TRUE(m_window.PumpUntilSeen("party"));
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring", "party"}));
    EXPECT_EQ(m_controller->GetNumber(), "0999");
    EXPECT_EQ(m_controller->GetName(), "");
}

TEST_F(CallControllerTest, PrivateCallerGivesNoParty)
{
    m_window.Settle();
    m_window.Take();
    ASSERT_TRUE(m_sim.Control("ring 2 P"));
    ASSERT_TRUE(m_window.PumpUntil(
        [](const Tokens &seen) { return std::count(seen.begin(), seen.end(), "ring") == 2; }));
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring", "ring"}));
    EXPECT_EQ(m_controller->GetNumber(), "");
}

TEST_F(CallControllerTest, AnsweredIncomingCallSwitchesTheSpeakerphoneOnAndResetHangsUp)
{
    m_window.Settle();
    m_window.Take();
    ASSERT_TRUE(m_sim.Control("ring 20 0171555"));
    ASSERT_TRUE(m_window.PumpUntilSeen("party"));
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring", "party"}));
    EXPECT_EQ(m_controller->GetName(), "Anna"); // Anna's mobile, before Bert's home

    m_controller->Answer();
    EXPECT_EQ(m_controller->GetState(), RINGING);
    ASSERT_TRUE(m_window.PumpUntilSeen("state=ANSWERING"));
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=1"));
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));
    m_window.Settle();
    Tokens tokens = m_window.Take();
    // Rings already on their way before the answer still ring.
    tokens.erase(std::remove(tokens.begin(), tokens.end(), "ring"), tokens.end());
    EXPECT_EQ(tokens, (Tokens{"state=ANSWERING"}));

    m_sim.ClearReceived();
    m_controller->Reset();
    ASSERT_TRUE(m_sim.WaitForCommand("AT+VLS=0"));
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), kReset);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
    EXPECT_EQ(m_controller->GetNumber(), "");
    EXPECT_EQ(m_controller->GetName(), "");
}

TEST_F(CallControllerTest, FailedAnswerResetsWithoutRestoringTheWindow)
{
    m_window.Settle();
    m_window.Take();
    m_controller->Answer(); // nothing is offered
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), kReset);
    EXPECT_EQ(m_controller->GetState(), NORMAL);
}

// --- events the window hands back ---------------------------------------------

TEST_F(CallControllerTest, TwoIdleEventsInARowResetTwice)
{
    m_window.Settle();
    m_window.Take();
    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_IDLE);
    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_IDLE);
    m_window.Settle();
    Tokens twice = kReset;
    twice.insert(twice.end(), kReset.begin(), kReset.end());
    EXPECT_EQ(m_window.Take(), twice);
}

TEST_F(CallControllerTest, EventsThatChangeNothingPostNothing)
{
    Connect("555");
    EXPECT_EQ(m_controller->GetName(), "Unknown");
    // A ring report outside RINGING, an unknown call state, and a caller ID
    // report while the client holds none (the number goes, the name stays).
    for (LPARAM code : {EVT_LINEDEVSTATE, EVT_CALLSTATE_DEFAULT, LPARAM{31}, EVT_CALLERID})
        EXPECT_EQ(m_controller->OnTapiEvent(RECEIVER_CONTROLLER, code), 1);
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), Tokens{});
    EXPECT_EQ(m_controller->GetState(), ANSWERING);
    EXPECT_EQ(m_controller->GetNumber(), "");
    EXPECT_EQ(m_controller->GetName(), "Unknown");
}

TEST_F(CallControllerTest, PhonebookChangeDuringACallReloadsAndLeavesTheCallAlone)
{
    Connect("0221550123");
    m_sim.ClearReceived();
    m_dir.Write("Bookmark.ini", std::string("[Zoe]\nPhone_Home=0221550123\n") + kPhonebook);

    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_BOOKMARKCHANGED);
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetState(), ANSWERING);
    EXPECT_EQ(m_controller->GetName(), "Anna"); // not looked up again
    EXPECT_EQ(m_controller->GetBookmarkCount(), 3);
    EXPECT_EQ(m_controller->FindNameForNumber("0221550123"), "Zoe");
    EXPECT_TRUE(m_sim.Received().empty());
}

TEST_F(CallControllerTest, OfferDuringACallMovesToRinging)
{
    Connect("555");
    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING);
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=RINGING", "ring"}));
}

TEST_F(CallControllerTest, DestroyingTheControllerDuringACallHangsUpAndPostsInit)
{
    Connect("555");
    m_sim.ClearReceived();
    Destroy();
    EXPECT_TRUE(SimReceived("AT+VLS=0") || SimReceived("ATH")) << "no hang-up";
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=INIT"}));
}

// --- phonebook look-up ------------------------------------------------------

TEST_F(CallControllerTest, FindNameForNumberTakesTheLowestIndexInAnyFieldByExactBytes)
{
    m_dir.Write("Bookmark.ini", "[Anna]\n"
                                "Phone_Home=111\n"
                                "Phone_Office=\n"
                                "Phone_Mobile=444\n"
                                "[Bert]\n"
                                "Phone_Home=444\n"
                                "Phone_Office=222\n"
                                "Phone_Mobile=111\n"
                                "[Cora]\n"
                                "Phone_Office=333\n"
                                "[Dora]\n"
                                "Phone_Home=0221 55-01\n"
                                "Phone_Mobile=abc\n");
    m_controller->LoadPhonebook();

    EXPECT_EQ(m_controller->FindNameForNumber("111"), "Anna");
    EXPECT_EQ(m_controller->FindNameForNumber("444"), "Anna"); // mobile before a later home
    EXPECT_EQ(m_controller->FindNameForNumber("222"), "Bert");
    EXPECT_EQ(m_controller->FindNameForNumber("333"), "Cora");
    EXPECT_EQ(m_controller->FindNameForNumber("0221 55-01"), "Dora");
    EXPECT_EQ(m_controller->FindNameForNumber("02215501"), "");
    EXPECT_EQ(m_controller->FindNameForNumber("ABC"), "");
    EXPECT_EQ(m_controller->FindNameForNumber("11"), "");
    // Blank fields are no number of anybody's.
    EXPECT_EQ(m_controller->FindNameForNumber(""), "");

    m_dir.Write("Bookmark.ini", "");
    m_controller->LoadPhonebook();
    EXPECT_EQ(m_controller->GetBookmarkCount(), 0);
    EXPECT_EQ(m_controller->FindNameForNumber("111"), "");
}

TEST_F(CallControllerTest, MissingPhonebookLoadsEmptyAndStillNotifies)
{
    std::filesystem::remove(m_dir.Path() + "/Bookmark.ini");
    m_window.Settle();
    m_window.Take();
    m_controller->LoadPhonebook();
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"loaded"}));
    EXPECT_EQ(m_controller->GetBookmarkCount(), 0);
    EXPECT_EQ(m_controller->GetBookmark(0), nullptr);
}

TEST_F(CallControllerDataModemTest, DialWithoutAnOpenLineResetsAndRestoresTheWindow)
{
    m_window.Settle();
    m_window.Take();
    m_controller->Dial("555");
    m_window.Settle();
    // Already INIT: the reset changes no state, so only the reload shows.
    EXPECT_EQ(m_window.Take(), (Tokens{"loaded", "restore"}));
    EXPECT_EQ(m_controller->GetState(), INIT);
}

// A caller who never gives up: on a loaded machine the short give-up of
// the other tests could end the offered call before the dial is refused.
class CallControllerPatientCallerTest : public CallControllerTest {
protected:
    CallControllerPatientCallerTest() { m_timeouts.ringGiveUp = 60s; }
};

TEST_F(CallControllerPatientCallerTest, DialRefusedDuringAnOfferedCallDropsItAndRestoresTheWindow)
{
    m_window.Settle();
    m_window.Take();
    ASSERT_TRUE(m_sim.Control("ring 2"));
    ASSERT_TRUE(m_window.PumpUntil(
        [](const Tokens &seen) { return std::count(seen.begin(), seen.end(), "ring") == 2; }));
    m_window.Take();

    m_controller->Dial("555");
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=INIT", "state=NORMAL", "loaded", "restore"}));
}

TEST_F(CallControllerTest, DialOutsideNormalCountsAsConnectedAtOnce)
{
    // RINGING without a call on the line: the modem takes the new call.
    m_target.Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING);
    m_window.Settle();
    m_window.Take();

    m_controller->Dial("555");
    m_window.Settle();
    EXPECT_EQ(m_window.Take(), (Tokens{"state=DIALING", "party", "state=ANSWERING"}));
    EXPECT_TRUE(m_sim.WaitForCommand("AT+VLS=7"));
}
