#include "tests/support/SimModem.h"

#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace vocamo {
namespace {

using namespace std::chrono_literals;
using test::CountOf;
using test::ProviderFor;
using test::StartSim;

using Strings = std::vector<std::string>;

const std::string kConnected = "STATE:256";
const std::string kIdle = "STATE:1";
const std::string kDisconnected = "STATE:16384";
const std::string kOffering = "STATE:2";

// Long enough for a loaded machine, but a silent port still costs only a
// second; a caller gives up only when the test says so.
ModemTimeouts Patient(std::chrono::milliseconds ringGiveUp = 60s)
{
    return {1000ms, 5000ms, ringGiveUp};
}

// A provider with one line application and, on request, its line opened.
struct Line {
    explicit Line(Strings devices, ModemTimeouts t = Patient(),
                  std::shared_ptr<CModemProbeCache> probes = nullptr)
        : tapi(test::ProviderFor(std::move(devices), t, std::move(probes)))
    {
        DWORD version = TAPI_VERSION2_0;
        LINEINITIALIZEEXPARAMS params{};
        params.dwTotalSize = sizeof params;
        params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
        EXPECT_EQ(
            tapi->lineInitializeExA(&app, nullptr, nullptr, "test", &count, &version, &params), 0);
    }

    LONG Open()
    {
        const LONG r = tapi->lineOpenA(app, 0, &line, TAPI_VERSION2_0, 0, 1, 6,
                                       LINEMEDIAMODE_AUTOMATEDVOICE, nullptr);
        return r == 0 ? tapi->lineSetStatusMessages(line, LINEDEVSTATE_ALL, 0) : r;
    }

    DWORD MediaModes(DWORD device)
    {
        std::vector<DWORD> buffer(1276 / 4, 0);
        buffer[0] = 1276;
        auto *caps = reinterpret_cast<LINEDEVCAPS *>(buffer.data());
        const LONG r = tapi->lineGetDevCapsA(app, device, TAPI_VERSION2_0, 0, caps);
        return r == LINEERR_NODEVICE ? ~0u : r == 0 ? caps->dwMediaModes : 0;
    }

    // Messages until `last` (a call state as "STATE:n", or "DEVSTATE",
    // "CALLINFO", "CLOSE") or "TIMEOUT"; replies are skipped.
    Strings MessagesUntil(const std::string &last)
    {
        Strings seen;
        for (LINEMESSAGE m{}; tapi->lineGetMessage(app, &m, 10000) == 0;) {
            if (m.dwMessageID == LINE_CALLSTATE)
                lastCall = m.hDevice;
            const std::string text = m.dwMessageID == LINE_CALLSTATE
                                         ? "STATE:" + std::to_string(m.dwParam1)
                                     : m.dwMessageID == LINE_LINEDEVSTATE ? "DEVSTATE"
                                     : m.dwMessageID == LINE_CALLINFO     ? "CALLINFO"
                                     : m.dwMessageID == LINE_CLOSE        ? "CLOSE"
                                                                          : "";
            if (!text.empty())
                seen.push_back(text);
            if (text == last)
                return seen;
        }
        seen.push_back("TIMEOUT");
        return seen;
    }

    std::string CallerId(HCALL call, DWORD *flags = nullptr)
    {
        std::vector<DWORD> buffer(1348 / 4, 0);
        buffer[0] = 1348;
        auto *info = reinterpret_cast<LINECALLINFO *>(buffer.data());
        EXPECT_EQ(tapi->lineGetCallInfoA(call, info), 0);
        if (flags)
            *flags = info->dwCallerIDFlags;
        return info->dwCallerIDSize == 0
                   ? std::string()
                   : reinterpret_cast<const char *>(buffer.data()) + info->dwCallerIDOffset;
    }

    std::unique_ptr<CModemProvider> tapi;
    HLINEAPP app = 0;
    DWORD count = 0;
    HLINE line = 0;
    HCALL lastCall = 0;
};

// A line opened on a simulated modem.
class OpenLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(l.Open(), 0); }

    // 5551234 dialled and answered by the other party.
    void Connect(HCALL &call)
    {
        sim->ClearReceived();
        ASSERT_GT(l.tapi->lineMakeCallA(l.line, &call, "5551234", 0, nullptr), 0);
        ASSERT_TRUE(sim->WaitForCommand("ATD5551234"));
        sim->Control("answer");
        ASSERT_EQ(l.MessagesUntil(kConnected).back(), kConnected);
    }

    std::unique_ptr<CModemSim> sim = StartSim();
    Line l{{sim->SlavePath()}};
};

// A buffer too small for the capabilities is never written past.
TEST(ModemProvider, DevCapsTooSmallReportsTheSizeNeeded)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    std::vector<DWORD> buffer(1276 / 4, 0);
    auto *caps = reinterpret_cast<LINEDEVCAPS *>(buffer.data());
    caps->dwTotalSize = 100;
    EXPECT_EQ(l.tapi->lineGetDevCapsA(l.app, 0, TAPI_VERSION2_0, 0, caps),
              LINEERR_STRUCTURETOOSMALL);
    // Room for the fixed part only: success, without the texts.
    caps->dwTotalSize = sizeof(LINEDEVCAPS);
    EXPECT_EQ(l.tapi->lineGetDevCapsA(l.app, 0, TAPI_VERSION2_0, 0, caps), 0);
    EXPECT_GT(caps->dwNeededSize, caps->dwTotalSize);
    EXPECT_EQ(caps->dwLineNameSize, 0u);
    caps->dwTotalSize = 1276;
    EXPECT_EQ(l.tapi->lineGetDevCapsA(l.app, 0, TAPI_VERSION2_0, 0, caps), 0);
    EXPECT_EQ(reinterpret_cast<const char *>(buffer.data()) + caps->dwLineNameOffset,
              sim->SlavePath());
}

// A probe tells voice from data modems and from ports that answer nothing or
// are not there. Providers sharing a cache ask each port once, a silent one
// too, until a device comes or goes.
TEST(ModemProvider, ProbeTellsVoiceFromDataModemsAndSilentPortsOncePerCache)
{
    auto voice = StartSim();
    ModemSimOptions dataOnly;
    dataOnly.voice = false;
    auto data = StartSim(dataOnly);
    int master = -1, slave = -1;
    char silent[128];
    ASSERT_EQ(::openpty(&master, &slave, silent, nullptr, nullptr), 0);
    ASSERT_EQ(::fcntl(master, F_SETFL, O_NONBLOCK), 0);
    const Strings devices{data->SlavePath(), voice->SlavePath(), silent, "/dev/nonexistent-modem"};
    auto probes = std::make_shared<CModemProbeCache>();
    for (const int round : {0, 1, 2}) {
        if (round == 2)
            probes->Clear(); // a device came or went
        Line l(devices, Patient(), probes);
        EXPECT_EQ(l.MediaModes(0) & LINEMEDIAMODE_AUTOMATEDVOICE, 0u);
        EXPECT_NE(l.MediaModes(1) & LINEMEDIAMODE_AUTOMATEDVOICE, 0u);
        EXPECT_EQ(l.MediaModes(2), 0u);  // no answer: not a modem at all
        EXPECT_EQ(l.MediaModes(3), ~0u); // no such device
        EXPECT_EQ(CountOf(voice->Received(), "AT+FCLASS=?"), round == 2 ? 2u : 1u);
        char heard[64];
        EXPECT_EQ(::read(master, heard, sizeof heard) > 0, round != 1) << "round " << round;
    }
    ::close(master);
    ::close(slave);
}

// The line's own dialogue is the client's and the window's to see; an older
// modem is asked for the caller's number its own way, and a data modem refused.
TEST(ModemProvider, OpenAsksOlderModemsForCallerIdTheirWayAndRefusesDataModems)
{
    ModemSimOptions noCallerId;
    noCallerId.callerId = false;
    auto older = StartSim(noCallerId);
    Line withoutCallerId({older->SlavePath()});
    ASSERT_EQ(withoutCallerId.Open(), 0);
    EXPECT_EQ(older->Received().back(), "AT#CID=1");

    ModemSimOptions dataOnly;
    dataOnly.voice = false;
    auto data = StartSim(dataOnly);
    Line forData({data->SlavePath()});
    EXPECT_EQ(forData.Open(), LINEERR_INVALMEDIAMODE);
}

TEST(ModemProvider, DialResultsBecomeCallStates)
{
    const std::pair<const char *, Strings> cases[] = {
        {"answer", {"STATE:16", kConnected}},
        {"busy", {"STATE:16", "STATE:64", kDisconnected}},
        {"noanswer", {"STATE:16", kDisconnected, kIdle}},
        {"nodialtone", {"STATE:16", kDisconnected, kIdle}},
        {"hangup", {"STATE:16", kDisconnected, kIdle}}, // NO CARRIER
    };
    for (const bool halves : {false, true}) {
        for (const auto &[control, states] : cases) {
            ModemSimOptions options;
            options.splitReplies = halves;
            auto sim = StartSim(options);
            Line l({sim->SlavePath()});
            ASSERT_EQ(l.Open(), 0);
            HCALL call = 0;
            EXPECT_GT(l.tapi->lineMakeCallA(l.line, &call, "(030) 555-12 34", 0, nullptr), 0);
            EXPECT_NE(call, 0u);
            ASSERT_TRUE(sim->WaitForCommand("ATD0305551234"));
            sim->Control(control);
            EXPECT_EQ(l.MessagesUntil(states.back()), states) << control << halves;
        }
    }
}

// Either side may end a connected call: ours sends DLE ! and goes on hook.
// Pulling the modem out ends the call too, closes the line, and every later
// request on it fails.
TEST_F(OpenLine, ConnectedCallEndsFromEitherSideOrWithThePort)
{
    HCALL call = 0;
    ASSERT_NO_FATAL_FAILURE(Connect(call));
    EXPECT_GT(l.tapi->lineDrop(call, nullptr, 0), 0);
    const Strings received = sim->Received();
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(Strings(received.end() - 2, received.end()), (Strings{"<DLE>!", "AT+VLS=0"}));
    EXPECT_EQ(l.MessagesUntil(kIdle).back(), kIdle);
    EXPECT_EQ(l.tapi->lineDrop(call, nullptr, 0), LINEERR_INVALCALLSTATE);

    ASSERT_NO_FATAL_FAILURE(Connect(call));
    sim->Control("hangup");
    EXPECT_EQ(l.MessagesUntil(kIdle), (Strings{kDisconnected, kIdle}));

    ASSERT_NO_FATAL_FAILURE(Connect(call));
    sim->Control("unplug");
    EXPECT_EQ(l.MessagesUntil("CLOSE"), (Strings{kDisconnected, kIdle, "CLOSE"}));
    HCALL next = 0;
    EXPECT_EQ(l.tapi->lineMakeCallA(l.line, &next, "1", 0, nullptr), LINEERR_INVALLINEHANDLE);
    EXPECT_EQ(l.tapi->lineDrop(call, nullptr, 0), LINEERR_INVALCALLHANDLE);
    EXPECT_EQ(l.tapi->lineClose(l.line), LINEERR_INVALLINEHANDLE);
    EXPECT_EQ(l.Open(), LINEERR_NODEVICE);
}

// A refused call is picked up and put down at once, which ends it. The next
// ring is a new caller's, whose number comes between the first ring and the
// second; answered, the call connects.
TEST_F(OpenLine, IncomingCallsAreRefusedOrAnsweredAndReportTheCallerId)
{
    sim->Control("ring 5");
    l.MessagesUntil(kOffering);
    sim->ClearReceived();
    EXPECT_GT(l.tapi->lineDrop(l.lastCall, nullptr, 0), 0);
    EXPECT_EQ(sim->Received(), (Strings{"AT+VLS=1", "<DLE>!", "AT+VLS=0"}));
    EXPECT_EQ(l.MessagesUntil(kIdle).back(), kIdle);

    sim->Control("ring 2 5551234");
    EXPECT_EQ(l.MessagesUntil("CALLINFO"), (Strings{"DEVSTATE", kOffering, "CALLINFO"}));
    EXPECT_EQ(l.CallerId(l.lastCall), "5551234");
    EXPECT_EQ(l.MessagesUntil("DEVSTATE"), (Strings{"DEVSTATE"}));
    EXPECT_GT(l.tapi->lineAnswer(l.lastCall, nullptr, 0), 0);
    EXPECT_EQ(l.MessagesUntil(kConnected), (Strings{kConnected}));
    EXPECT_TRUE(sim->WaitForCommand("AT+VLS=1"));
}

TEST(ModemProvider, WithheldCallerWhoGivesUpAndAShieldedRing)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()}, Patient(300ms));
    ASSERT_EQ(l.Open(), 0);
    sim->Control("ring 1 P");
    EXPECT_EQ(l.MessagesUntil(kIdle), (Strings{"DEVSTATE", kOffering, kIdle}));
    DWORD flags = 0;
    EXPECT_EQ(l.CallerId(l.lastCall, &flags), "");
    EXPECT_EQ(flags, LINECALLPARTYID_BLOCKED);
    // The next caller is a new call, and a ring sent as DLE R counts.
    sim->Control("dle R");
    EXPECT_EQ(l.MessagesUntil(kOffering), (Strings{"DEVSTATE", kOffering}));
}

// What may come as a caller's number at its worst, and what the call keeps of it.
TEST(ModemProvider, CallerIdIsCleanedAndANumberWithoutDigitsIsNone)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("NMBR=030\x01") + "555\x7f" + "1234", "0305551234"},
        {"NMBR = 030\xff\xc3 1234 \xc3\xa9", "030\uFFFD\uFFFD 1234 \u00e9"},
        {"NMBR = 5551234 NO CARRIER", "5551234"},
        {"NMBR = NO CARRIERBUSYDATE = 0101", ""},
        {"NMBR = --", ""},
        {"NMBR = " + std::string(100, '7'), std::string(64, '7')}, // not without end
    };
    for (const auto &[line, number] : cases) {
        auto sim = StartSim();
        Line l({sim->SlavePath()});
        ASSERT_EQ(l.Open(), 0);
        sim->Control("say " + line);
        sim->Control("dle R");
        l.MessagesUntil(kOffering);
        EXPECT_EQ(l.CallerId(l.lastCall), number) << line;
    }
}

TEST(ModemProvider, SpeakerphoneIsAPhoneDeviceWhoseHookswitchSendsVls7)
{
    ModemSimOptions without;
    without.speakerphone = false;
    auto plain = StartSim(without);
    auto sim = StartSim();
    auto tapi = ProviderFor({plain->SlavePath(), sim->SlavePath()});
    HPHONEAPP app = 0;
    DWORD count = 0, version = TAPI_VERSION2_0;
    PHONEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof params;
    params.dwOptions = PHONEINITIALIZEEXOPTION_USEEVENT;
    ASSERT_EQ(tapi->phoneInitializeExA(&app, nullptr, nullptr, "x", &count, &version, &params), 0);
    EXPECT_EQ(count, 1u); // the modem without a speakerphone has no phone device
    HPHONE phone = 0;
    ASSERT_EQ(tapi->phoneOpen(app, 0, &phone, TAPI_VERSION2_0, 0, 1, PHONEPRIVILEGE_OWNER), 0);
    EXPECT_GT(
        tapi->phoneSetHookSwitch(phone, PHONEHOOKSWITCHDEV_SPEAKER, PHONEHOOKSWITCHMODE_MICSPEAKER),
        0);
    EXPECT_EQ(sim->Received().back(), "AT+VLS=7");
    EXPECT_EQ(tapi->phoneClose(phone), 0);
    EXPECT_EQ(tapi->phoneClose(phone), PHONEERR_INVALPHONEHANDLE);
}

TEST(ModemDevices, VocamoModemsNamesThePortsInItsOrderElseAcmAndUsbPorts)
{
    ::setenv("VOCAMO_MODEMS", "/dev/ttyUSB3::/tmp/modem", 1);
    EXPECT_EQ(CModemProvider::DefaultDevices(), (Strings{"/dev/ttyUSB3", "/tmp/modem"}));
    EXPECT_TRUE(CModemProvider::IsModemPort("/tmp/modem"));
    EXPECT_FALSE(CModemProvider::IsModemPort("/dev/ttyACM0"));
    ::setenv("VOCAMO_MODEMS", "", 1); // set but empty: no port at all
    EXPECT_TRUE(CModemProvider::DefaultDevices().empty());
    EXPECT_FALSE(CModemProvider::IsModemPort("/dev/ttyACM0"));
    ::unsetenv("VOCAMO_MODEMS");
    EXPECT_TRUE(CModemProvider::IsModemPort("/dev/ttyACM0"));
    EXPECT_TRUE(CModemProvider::IsModemPort("/dev/ttyUSB3"));
    EXPECT_FALSE(CModemProvider::IsModemPort("/dev/ttyS0"));
    EXPECT_FALSE(CModemProvider::IsModemPort(""));
}

} // namespace
} // namespace vocamo
