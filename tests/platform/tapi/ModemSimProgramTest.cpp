#include "tests/support/RecordingMessageTarget.h"
#include "platform/tapi/ModemProvider.h"
#include "telephony/TapiClient.h"
#include "tests/support/SimModem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vocamo {
namespace {

using namespace std::chrono_literals;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : m_name(name)
    {
        if (const char *old = std::getenv(name))
            m_old = old;
        m_had = std::getenv(name) != nullptr;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char *m_name;
    std::string m_old;
    bool m_had = false;
};

TEST(ModemDevices, VocamoModemsListsThePortsInItsOrder)
{
    ScopedEnv env("VOCAMO_MODEMS", "/dev/ttyUSB3::/tmp/modem");
    EXPECT_EQ(CModemProvider::DefaultDevices(),
              (std::vector<std::string>{"/dev/ttyUSB3", "/tmp/modem"}));
}

TEST(ModemDevices, WithoutVocamoModemsAcmPortsComeBeforeUsbPorts)
{
    ScopedEnv env("VOCAMO_MODEMS", nullptr);
    const std::vector<std::string> devices = CModemProvider::DefaultDevices();
    bool seenUsb = false;
    for (const std::string &d : devices) {
        seenUsb = seenUsb || d.rfind("/dev/ttyUSB", 0) == 0;
        EXPECT_FALSE(seenUsb && d.rfind("/dev/ttyACM", 0) == 0) << d;
    }
}

// The program as the demo starts it: its port linked to a fixed path, that
// path in VOCAMO_MODEMS, and a client with a modem provider of its own.
TEST(ModemSimProgram, DrivenThroughItsLinkAndControlLines)
{
    char dir[] = "/tmp/vocamo-sim-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/modem";
    const std::string fifo = std::string(dir) + "/control";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string command = std::string(VOCAMO_BUILD_DIR) +
                                "/tools/vocamo-modem-sim/vocamo-modem-sim --ring-interval 100 "
                                "--link " + link + " < " + fifo + " 2>/dev/null";
    FILE *sim = ::popen(command.c_str(), "r");
    ASSERT_NE(sim, nullptr);
    const int control = ::open(fifo.c_str(), O_WRONLY); // waits for the program to read it
    ASSERT_GE(control, 0);
    char first[256] = {};
    ASSERT_NE(std::fgets(first, sizeof first, sim), nullptr);
    const std::string slave = std::string(first).substr(0, std::strlen(first) - 1);
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(slave, target);

    {
        ScopedEnv env("VOCAMO_MODEMS", link.c_str());
        CRecordingMessageTarget events;
        CTapiClient::Settings settings;
        settings.modemTimeouts = test::FastTimeouts();
        CTapiClient client(events, settings);
        ASSERT_EQ(client.OpenLine(), 0);
        const std::string ring = "ring 1 5551234\n";
        ASSERT_EQ(::write(control, ring.data(), ring.size()), static_cast<ssize_t>(ring.size()));
        EXPECT_TRUE(events.WaitFor({WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_CALLERID}));
        EXPECT_EQ(client.GetCallerId(), "5551234");
    }
    const std::string quit = "quit\n";
    ASSERT_EQ(::write(control, quit.data(), quit.size()), static_cast<ssize_t>(quit.size()));
    ::close(control);
    EXPECT_EQ(::pclose(sim), 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0); // the link goes with the program
    ::unlink(fifo.c_str());
    ::rmdir(dir);
}

} // namespace
} // namespace vocamo
