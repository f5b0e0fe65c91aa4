// vocamo --list-modems against what a port may turn out to be, each verdict
// in words, and the exit code that says whether a voice modem was found.
#include "tests/support/TempDir.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QProcess>
#include <chrono>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace vocamo;

namespace {

struct Port {
    const char *name;
    bool sim; // a simulated modem, else the path below
    ModemSimOptions options = {};
    const char *path = ""; // relative to a temporary folder, or absolute
    bool asNobody = false; // a user who is neither root nor in the port's group
    int code = 1;
    const char *words = "";
    bool held = false; // open to everyone, but held exclusively by another process
};

ModemSimOptions Sim(bool voice, bool extras, std::chrono::milliseconds resetDelay = 0ms)
{
    ModemSimOptions o;
    o.log = false;
    o.voice = voice;
    o.speakerphone = o.callerId = extras;
    o.resetDelay = resetDelay;
    return o;
}

void PrintTo(const Port &port, std::ostream *os)
{
    *os << port.name;
}

class ListModems : public ::testing::TestWithParam<Port> {};

TEST_P(ListModems, SaysWhatIsBehindThePort)
{
    const Port &port = GetParam();
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    std::unique_ptr<CModemSim> sim;
    QString path = QString::fromLatin1(port.path);
    if (port.sim) {
        sim = std::make_unique<CModemSim>(port.options);
        ASSERT_TRUE(sim->Start());
        path = QString::fromStdString(sim->SlavePath());
        // As a real modem's port: for group dialout, not for everyone.
        if (port.held) {
            ASSERT_EQ(::chmod(sim->SlavePath().c_str(), 0666), 0);
        } else if (port.asNobody) {
            ASSERT_EQ(::chown(sim->SlavePath().c_str(), -1, ::getgrnam("dialout")->gr_gid), 0);
        }
    } else if (!path.startsWith(QLatin1Char('/'))) {
        path = QString::fromStdString(dir.File(port.path));
    }
    // As a terminal program or ModemManager holds a port (root would pass).
    const int holder = port.held ? ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY) : -1;
    if (port.held) {
        ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
    }
    QProcess vocamo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VOCAMO_MODEMS", path);
    vocamo.setProcessEnvironment(env);
    QStringList arguments = {QStringLiteral(VOCAMO_BIN), QStringLiteral("--list-modems")};
    if (port.asNobody)
        arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + arguments;
    const auto started = std::chrono::steady_clock::now();
    vocamo.start(port.asNobody ? QStringLiteral("setpriv") : arguments.takeFirst(), arguments);
    ASSERT_TRUE(vocamo.waitForFinished(30000));
    const QString out = QString::fromUtf8(vocamo.readAllStandardOutput());
    EXPECT_EQ(vocamo.exitCode(), port.code) << out.toStdString();
    EXPECT_EQ(out.toStdString(), path.toStdString() + ": " + port.words + "\n");
    // The slow modem answers after ten seconds; the probe gives up long before.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 8s);
    if (holder >= 0)
        ::close(holder);
}

INSTANTIATE_TEST_SUITE_P(
    Verdicts, ListModems,
    ::testing::Values(Port{"Voice", true, Sim(true, true), "", false, 0,
                           "voice modem, with speakerphone, caller ID with AT+VCID=1"},
                      Port{"Plain", true, Sim(true, false), "", false, 0,
                           "voice modem, no speakerphone, no caller ID"},
                      Port{"DataOnly", true, Sim(false, true), "", false, 1,
                           "data only; no voice mode: a voice modem lists class 8 in AT+FCLASS=?"},
                      Port{"Slow", true, Sim(true, true, 10s), "", false, 1,
                           "no answer; not a modem, or one that is switched off or still starting"},
                      Port{"Missing", false, {}, "ttyACM7", false, 1, "missing"},
                      Port{"Folder", false, {}, "folder", false, 1, "not a serial port"},
                      Port{"NotATerminal", false, {}, "/dev/null", false, 1, "not a serial port"},
                      Port{"NotAllowed", true, Sim(true, true), "", true, 1,
                           "permission denied; the port is for group dialout: sudo usermod -aG "
                           "dialout $USER, then "
                           "log in again (your groups: nogroup)"},
                      Port{"Held", true, Sim(true, true), "", true, 1,
                           "busy; held by another process: close it, or keep ModemManager off the "
                           "port (see the README)",
                           true}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
