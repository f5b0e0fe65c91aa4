#include "tests/support/SimModem.h"

#include <cstdlib>
#include <fcntl.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace vocamo {
namespace {

using namespace std::chrono_literals;
using test::CountOf;
using test::ProviderFor;
using test::StartSim;

const std::string kConnected = "STATE:256";
const std::string kIdle = "STATE:1";
const std::string kDisconnected = "STATE:16384";
const std::string kOffering = "STATE:2";

// A provider with one line application and, on request, its line opened.
struct Line {
    explicit Line(std::vector<std::string> devices, ModemTimeouts t = test::FastTimeouts(),
                  std::shared_ptr<CModemProbeCache> probes = nullptr)
        : tapi(ProviderFor(std::move(devices), t, std::move(probes)))
    {
        DWORD version = TAPI_VERSION2_0;
        LINEINITIALIZEEXPARAMS params{};
        params.dwTotalSize = sizeof params;
        params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
        EXPECT_EQ(
            tapi->lineInitializeExA(&app, nullptr, nullptr, "test", &count, &version, &params), 0);
    }

    LONG Open(DWORD device = 0)
    {
        const LONG r = tapi->lineOpenA(app, device, &line, TAPI_VERSION2_0, 0, 1, 6,
                                       LINEMEDIAMODE_AUTOMATEDVOICE, nullptr);
        if (r == 0) {
            EXPECT_EQ(tapi->lineSetStatusMessages(line, LINEDEVSTATE_ALL, 0), 0);
        }
        return r;
    }

    // Line opened, 5551234 dialled and answered by the other party.
    void Connect(CModemSim &sim, HCALL &call)
    {
        ASSERT_EQ(Open(), 0);
        ASSERT_GT(tapi->lineMakeCallA(line, &call, "5551234", 0, nullptr), 0);
        ASSERT_TRUE(sim.WaitForCommand("ATD5551234"));
        sim.Control("answer");
        MessagesUntil(kConnected);
    }

    DWORD MediaModes(DWORD device)
    {
        std::vector<DWORD> buffer(1276 / 4, 0);
        buffer[0] = 1276;
        auto *caps = reinterpret_cast<LINEDEVCAPS *>(buffer.data());
        EXPECT_EQ(tapi->lineGetDevCapsA(app, device, TAPI_VERSION2_0, 0, caps), 0);
        return caps->dwMediaModes;
    }

    // Messages until `last` (a LINE_CALLSTATE state, or LINE_CLOSE) or a time-out,
    // as "STATE:n" / "DEVSTATE" / "CALLINFO" / "CLOSE" / "REPLY".
    std::vector<std::string> MessagesUntil(const std::string &last, DWORD timeoutMs = 3000)
    {
        std::vector<std::string> seen;
        for (;;) {
            LINEMESSAGE m{};
            if (tapi->lineGetMessage(app, &m, timeoutMs) != 0) {
                seen.push_back("TIMEOUT");
                return seen;
            }
            std::string text;
            switch (m.dwMessageID) {
            case LINE_CALLSTATE:
                text = "STATE:" + std::to_string(m.dwParam1);
                lastCall = m.hDevice;
                break;
            case LINE_LINEDEVSTATE:
                text = "DEVSTATE";
                break;
            case LINE_CALLINFO:
                text = "CALLINFO";
                break;
            case LINE_CLOSE:
                text = "CLOSE";
                break;
            default:
                continue; // replies
            }
            seen.push_back(text);
            if (text == last)
                return seen;
        }
    }

    std::string CallerId(HCALL call, DWORD *flags = nullptr)
    {
        std::vector<DWORD> buffer(1348 / 4, 0);
        buffer[0] = 1348;
        auto *info = reinterpret_cast<LINECALLINFO *>(buffer.data());
        EXPECT_EQ(tapi->lineGetCallInfoA(call, info), 0);
        if (flags)
            *flags = info->dwCallerIDFlags;
        if (info->dwCallerIDSize == 0)
            return {};
        return reinterpret_cast<const char *>(buffer.data()) + info->dwCallerIDOffset;
    }

    std::unique_ptr<CModemProvider> tapi;
    HLINEAPP app = 0;
    DWORD count = 0;
    HLINE line = 0;
    HCALL lastCall = 0;
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
    EXPECT_GT(caps->dwNeededSize, sizeof(LINEDEVCAPS));
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

// --- Probe ---

TEST(ModemProvider, ProbeTellsVoiceFromDataModemsAndSilentPorts)
{
    auto voice = StartSim();
    ModemSimOptions dataOnly;
    dataOnly.voice = false;
    auto data = StartSim(dataOnly);
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    Line l({data->SlavePath(), voice->SlavePath(), name, "/dev/nonexistent-modem"});
    EXPECT_FALSE(l.MediaModes(0) & LINEMEDIAMODE_AUTOMATEDVOICE);
    EXPECT_TRUE(l.MediaModes(1) & LINEMEDIAMODE_AUTOMATEDVOICE);
    EXPECT_EQ(l.MediaModes(2), 0u); // no answer: not a modem at all
    std::vector<DWORD> buffer(1276 / 4, 0);
    buffer[0] = 1276;
    EXPECT_EQ(l.tapi->lineGetDevCapsA(l.app, 3, TAPI_VERSION2_0, 0,
                                      reinterpret_cast<LINEDEVCAPS *>(buffer.data())),
              LINEERR_NODEVICE);
    ::close(master);
    ::close(slave);
}

// A silent port costs its probe wait once, not once per provider.
TEST(ModemProvider, ProvidersSharingACacheProbeEachPortOnce)
{
    auto sim = StartSim();
    int master = -1, slave = -1;
    char silent[128];
    ASSERT_EQ(::openpty(&master, &slave, silent, nullptr, nullptr), 0);
    auto probes = std::make_shared<CModemProbeCache>();
    {
        Line first({sim->SlavePath(), silent}, test::FastTimeouts(), probes);
        EXPECT_TRUE(first.MediaModes(0) & LINEMEDIAMODE_AUTOMATEDVOICE);
        EXPECT_EQ(first.MediaModes(1), 0u);
    }
    const size_t asked = CountOf(sim->Received(), "AT+FCLASS=?");
    ASSERT_EQ(asked, 1u);
    char heard[64];
    const ssize_t silentHeard = ::read(master, heard, sizeof heard);
    EXPECT_GT(silentHeard, 0); // the silent port was asked once

    Line second({sim->SlavePath(), silent}, test::FastTimeouts(), probes);
    EXPECT_TRUE(second.MediaModes(0) & LINEMEDIAMODE_AUTOMATEDVOICE);
    EXPECT_EQ(second.MediaModes(1), 0u);
    EXPECT_EQ(CountOf(sim->Received(), "AT+FCLASS=?"), asked);
    ASSERT_EQ(::fcntl(master, F_SETFL, O_NONBLOCK), 0);
    EXPECT_EQ(::read(master, heard, sizeof heard), -1); // and not again

    probes->Clear(); // a device came or went
    EXPECT_TRUE(second.MediaModes(0) & LINEMEDIAMODE_AUTOMATEDVOICE);
    EXPECT_EQ(CountOf(sim->Received(), "AT+FCLASS=?"), asked + 1);
    ::close(master);
    ::close(slave);
}

// --- Opening ---

TEST(ModemProvider, OpenRunsTheInitDialogueOnVoiceModemsOnly)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    ASSERT_EQ(l.Open(), 0);
    const auto received = sim->Received();
    const std::vector<std::string> tail(received.end() - 4, received.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"ATZ", "ATE0", "AT+FCLASS=8", "AT+VCID=1"}));

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

// --- Dialling ---

TEST(ModemProvider, DialStringWithACommandIsRefusedBeforeAnythingIsWritten)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    ASSERT_EQ(l.Open(), 0);
    sim->ClearReceived();
    HCALL call = 0;
    for (const char *bad : {"123;ATZ", "123\rATH", "555\n", "ATD1", ""})
        EXPECT_EQ(l.tapi->lineMakeCallA(l.line, &call, bad, 0, nullptr), LINEERR_INVALADDRESS);
    EXPECT_EQ(l.tapi->lineMakeCallA(l.line, &call, nullptr, 0, nullptr), LINEERR_INVALADDRESS);
    EXPECT_EQ(call, 0u);
    // The next good dial is the first thing the modem hears.
    EXPECT_GT(l.tapi->lineMakeCallA(l.line, &call, "1", 0, nullptr), 0);
    ASSERT_TRUE(sim->WaitForCommand("ATD1"));
    EXPECT_EQ(sim->Received(), std::vector<std::string>{"ATD1"});
}

struct DialCase {
    const char *control;
    std::vector<std::string> states;
};

TEST(ModemProvider, DialResultsBecomeCallStates)
{
    const std::vector<DialCase> cases = {
        {"answer", {"STATE:16", kConnected}},
        {"busy", {"STATE:16", "STATE:64", kDisconnected}},
        {"noanswer", {"STATE:16", kDisconnected, kIdle}},
        {"nodialtone", {"STATE:16", kDisconnected, kIdle}},
        {"hangup", {"STATE:16", kDisconnected, kIdle}}, // NO CARRIER
    };
    for (const bool halves : {false, true}) {
        for (const DialCase &c : cases) {
            ModemSimOptions options;
            options.splitReplies = halves;
            auto sim = StartSim(options);
            Line l({sim->SlavePath()});
            ASSERT_EQ(l.Open(), 0);
            HCALL call = 0;
            EXPECT_GT(l.tapi->lineMakeCallA(l.line, &call, "(030) 555-12 34", 0, nullptr), 0);
            EXPECT_NE(call, 0u);
            ASSERT_TRUE(sim->WaitForCommand("ATD0305551234"));
            sim->Control(c.control);
            EXPECT_EQ(l.MessagesUntil(c.states.back()), c.states) << c.control << halves;
        }
    }
}

TEST(ModemProvider, OtherPartyHangingUpEndsTheConnectedCall)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    HCALL call = 0;
    ASSERT_NO_FATAL_FAILURE(l.Connect(*sim, call));
    sim->Control("hangup");
    EXPECT_EQ(l.MessagesUntil(kIdle), (std::vector<std::string>{kDisconnected, kIdle}));
    // The modem stayed off hook; closing the line puts it back.
    EXPECT_EQ(l.tapi->lineClose(l.line), 0);
    EXPECT_TRUE(sim->WaitForCommand("AT+VLS=0"));
}

TEST(ModemProvider, LocalDropHangsUpAndGoesIdle)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    HCALL call = 0;
    ASSERT_NO_FATAL_FAILURE(l.Connect(*sim, call));
    EXPECT_GT(l.tapi->lineDrop(call, nullptr, 0), 0);
    const auto received = sim->Received();
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received[received.size() - 2], "<DLE>!");
    EXPECT_EQ(received.back(), "AT+VLS=0");
    EXPECT_EQ(l.MessagesUntil(kIdle).back(), kIdle);
    EXPECT_EQ(l.tapi->lineDrop(call, nullptr, 0), LINEERR_INVALCALLSTATE);
}

// --- Incoming calls ---

TEST(ModemProvider, IncomingCallRingsOffersAndReportsTheCallerId)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    ASSERT_EQ(l.Open(), 0);
    sim->Control("ring 2 5551234");
    EXPECT_EQ(l.MessagesUntil("CALLINFO"),
              (std::vector<std::string>{"DEVSTATE", kOffering, "CALLINFO"}));
    DWORD flags = 0;
    EXPECT_EQ(l.CallerId(l.lastCall, &flags), "5551234");
    EXPECT_EQ(flags, LINECALLPARTYID_ADDRESS);
    EXPECT_EQ(l.MessagesUntil("DEVSTATE"), (std::vector<std::string>{"DEVSTATE"}));
    EXPECT_GT(l.tapi->lineAnswer(l.lastCall, nullptr, 0), 0);
    EXPECT_EQ(l.MessagesUntil(kConnected), (std::vector<std::string>{kConnected}));
    EXPECT_TRUE(sim->WaitForCommand("AT+VLS=1"));
}

TEST(ModemProvider, WithheldCallerWhoGivesUpAndAShieldedRing)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    ASSERT_EQ(l.Open(), 0);
    sim->Control("ring 1 P");
    EXPECT_EQ(l.MessagesUntil(kIdle), (std::vector<std::string>{"DEVSTATE", kOffering, kIdle}));
    DWORD flags = 0;
    EXPECT_EQ(l.CallerId(l.lastCall, &flags), "");
    EXPECT_EQ(flags, LINECALLPARTYID_BLOCKED);
    // The next caller is a new call, and a ring sent as DLE R counts.
    sim->Control("dle R");
    EXPECT_EQ(l.MessagesUntil(kOffering), (std::vector<std::string>{"DEVSTATE", kOffering}));
}

// Refused: picked up and put down at once. That ends the call, so the next
// ring is a new caller's.
TEST(ModemProvider, DroppedRingingCallIsRefusedAtTheModem)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    ASSERT_EQ(l.Open(), 0);
    sim->Control("ring 5");
    l.MessagesUntil(kOffering);
    sim->ClearReceived();
    EXPECT_GT(l.tapi->lineDrop(l.lastCall, nullptr, 0), 0);
    EXPECT_EQ(sim->Received(), (std::vector<std::string>{"AT+VLS=1", "<DLE>!", "AT+VLS=0"}));
    EXPECT_EQ(l.MessagesUntil(kIdle).back(), kIdle);
    sim->Control("dle R");
    EXPECT_EQ(l.MessagesUntil(kOffering), (std::vector<std::string>{"DEVSTATE", kOffering}));
}

// What may come as a caller's number at its worst, and what the call keeps of it.
TEST(ModemProvider, CallerIdIsCleanedAndANumberWithoutDigitsIsNone)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"NMBR=030\x01"
         "555\x7f"
         "1234",
         "0305551234"},
        {"NMBR = 030\xff\xc3 1234 \xc3\xa9", "030\uFFFD\uFFFD 1234 \u00e9"},
        {"NMBR = 5551234 NO CARRIER", "5551234"},
        {"NMBR = NO CARRIERBUSYDATE = 0101", ""},
        {"NMBR = --", ""},
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

// --- Unplugging ---

TEST(ModemProvider, UnpluggedPortEndsTheCallClosesTheLineAndFailsLaterRequests)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    HCALL call = 0;
    ASSERT_NO_FATAL_FAILURE(l.Connect(*sim, call));
    sim->Control("unplug");
    EXPECT_EQ(l.MessagesUntil("CLOSE"), (std::vector<std::string>{kDisconnected, kIdle, "CLOSE"}));
    HCALL next = 0;
    EXPECT_EQ(l.tapi->lineMakeCallA(l.line, &next, "1", 0, nullptr), LINEERR_INVALLINEHANDLE);
    EXPECT_EQ(l.tapi->lineDrop(call, nullptr, 0), LINEERR_INVALCALLHANDLE);
    EXPECT_EQ(l.tapi->lineClose(l.line), LINEERR_INVALLINEHANDLE);
    EXPECT_EQ(l.Open(), LINEERR_NODEVICE);
}

// --- Messages ---

TEST(ModemProvider, GetMessageTimesOutAndShutdownWakesItsWaiter)
{
    auto sim = StartSim();
    Line l({sim->SlavePath()});
    LINEMESSAGE m{};
    EXPECT_EQ(l.tapi->lineGetMessage(l.app, &m, 20), LINEERR_OPERATIONFAILED);
    EXPECT_EQ(l.tapi->lineGetMessage(l.app, nullptr, 20), LINEERR_INVALPOINTER);
    LONG waited = 0;
    std::thread waiter([&] { waited = l.tapi->lineGetMessage(l.app, &m, INFINITE); });
    EXPECT_EQ(l.tapi->lineShutdown(l.app), 0);
    waiter.join();
    EXPECT_EQ(waited, LINEERR_INVALAPPHANDLE);
}

// --- Speakerphone ---

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
    EXPECT_EQ(tapi->phoneOpen(app, 1, &phone, TAPI_VERSION2_0, 0, 1, PHONEPRIVILEGE_OWNER),
              PHONEERR_BADDEVICEID);
    ASSERT_EQ(tapi->phoneOpen(app, 0, &phone, TAPI_VERSION2_0, 0, 1, PHONEPRIVILEGE_OWNER), 0);
    EXPECT_GT(
        tapi->phoneSetHookSwitch(phone, PHONEHOOKSWITCHDEV_SPEAKER, PHONEHOOKSWITCHMODE_MICSPEAKER),
        0);
    EXPECT_EQ(sim->Received().back(), "AT+VLS=7");
    EXPECT_EQ(tapi->phoneClose(phone), 0);
    EXPECT_EQ(tapi->phoneClose(phone), PHONEERR_INVALPHONEHANDLE);
    EXPECT_EQ(tapi->phoneShutdown(app), 0);
}

// --- Which ports are modems ---

TEST(ModemDevices, VocamoModemsNamesThePortsInItsOrderElseAcmThenUsb)
{
    const char *old = std::getenv("VOCAMO_MODEMS");
    const std::string saved = old ? old : "";
    ::setenv("VOCAMO_MODEMS", "/dev/ttyUSB3::/tmp/modem", 1);
    EXPECT_EQ(CModemProvider::DefaultDevices(),
              (std::vector<std::string>{"/dev/ttyUSB3", "/tmp/modem"}));
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
    bool seenUsb = false;
    for (const std::string &d : CModemProvider::DefaultDevices()) {
        seenUsb = seenUsb || d.rfind("/dev/ttyUSB", 0) == 0;
        EXPECT_FALSE(seenUsb && d.rfind("/dev/ttyACM", 0) == 0) << d; // ACM ports first
    }
    if (old)
        ::setenv("VOCAMO_MODEMS", saved.c_str(), 1);
}

} // namespace
} // namespace vocamo
