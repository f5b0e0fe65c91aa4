// The single-instance lock and socket against broken locks, folders and
// sockets of other users, and peers that send nothing or too much; and the
// real program handing a later start's dial to the running phone.
#include "app/SingleInstance.h"

#include "tests/support/SkypeSimProcess.h"
#include "tests/support/TempDir.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;
using namespace vocamo;

namespace {

// A runtime folder of the test's own, and a temporary folder for the
// program's private fallback.
class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path()));
        qputenv("TMPDIR", QByteArray::fromStdString(temp.Path()));
    }
    void TearDown() override
    {
        qunsetenv("XDG_RUNTIME_DIR");
        qunsetenv("TMPDIR");
    }
    test::TempDir runtime;
    test::TempDir temp;
};

TEST_F(SingleInstance, ALockNoInstanceWroteIsTakenOverAndAFolderThereIsReported)
{
    const std::string lock = CSingleInstance().LockPath().toStdString();
    for (const char *content :
         std::initializer_list<const char *>{"", "garbage\nwithout\na pid\n", nullptr}) {
        if (content)
            test::TempDir::Write(lock, content);
        else
            std::filesystem::create_directory(lock);
        CSingleInstance instance;
        if (content) {
            EXPECT_EQ(instance.Acquire(), CSingleInstance::Outcome::Acquired) << content;
            EXPECT_EQ(CSingleInstance().Acquire(), CSingleInstance::Outcome::Running);
        } else {
            EXPECT_EQ(instance.Acquire(), CSingleInstance::Outcome::Failed);
            EXPECT_TRUE(instance.ErrorText().contains(QString::fromStdString(lock)));
        }
    }
}

TEST_F(SingleInstance, AFolderOthersCanWriteIsNeverUsed)
{
    const std::string deep = runtime.File(std::string(90, 'd'));
    std::filesystem::create_directory(deep);
    ::chmod(deep.c_str(), 0700);
    const std::string others = runtime.File("others");
    std::filesystem::create_directory(others);
    for (const auto &[folder, owner, mode] : {std::tuple{others, uid_t(65534), mode_t(0700)},
                                              std::tuple{others, ::geteuid(), mode_t(0777)},
                                              std::tuple{deep, ::geteuid(), mode_t(0700)}}) {
        ASSERT_EQ(::chown(folder.c_str(), owner, ::getegid()), 0);
        ASSERT_EQ(::chmod(folder.c_str(), mode), 0);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
        // Someone listens where the socket would be.
        QLocalServer squatter;
        const QString squatted = QDir(QString::fromStdString(folder))
                                     .filePath(CSingleInstance().ServerName().section('/', -1));
        QLocalServer::removeServer(squatted);
        squatter.listen(squatted);

        CSingleInstance first;
        ASSERT_EQ(first.Acquire(), CSingleInstance::Outcome::Acquired) << folder;
        EXPECT_EQ(first.Folder(), QString::fromStdString(temp.File("vocamo-0")));
        int shows = 0;
        first.SetOnRequest([&](const InstanceRequest &) { ++shows; });
        CSingleInstance second;
        ASSERT_EQ(second.Acquire(), CSingleInstance::Outcome::Running);
        EXPECT_EQ(second.ServerName(), first.ServerName());
        QLocalSocket peer;
        peer.connectToServer(second.ServerName());
        ASSERT_TRUE(peer.waitForConnected(5000));
        peer.write(InstanceRequest{}.Encode());
        EXPECT_TRUE(PumpUntil([&] { return shows == 1; }));
        EXPECT_FALSE(squatter.hasPendingConnections());
    }
}

TEST_F(SingleInstance, OnlyAWellFormedRequestIsServedAndEveryConnectionIsClosed)
{
    CSingleInstance first(QStringLiteral("Vocamo"), {300, 8});
    ASSERT_EQ(first.Acquire(), CSingleInstance::Outcome::Acquired);
    std::vector<std::string> served;
    first.SetOnRequest([&](const InstanceRequest &r) {
        served.push_back(std::to_string(int(r.verb)) + " " + r.argument);
    });
    const QByteArray tooLong(5000, '1');
    for (const QByteArray &sent :
         {QByteArray("dial 0171555\n"), QByteArray("dial-skype echo123\n"), QByteArray("show\n"),
          QByteArray("restore\n"), QByteArray("dial 0171;ATH\n"), QByteArray("dial 0171 555\n"),
          QByteArray("dial-skype a\rb\n"), QByteArray("show"), "dial " + tooLong + "\n"}) {
        QLocalSocket peer;
        peer.connectToServer(first.ServerName());
        ASSERT_TRUE(peer.waitForConnected(5000));
        peer.write(sent);
        // Closed after the request, after too much, or once its time is up.
        EXPECT_TRUE(PumpUntil([&] { return peer.state() == QLocalSocket::UnconnectedState; }))
            << sent.left(40).toStdString();
    }
    EXPECT_EQ(served, (std::vector<std::string>{"1 0171555", "2 echo123", "0 "}));
    EXPECT_TRUE(PumpUntil([&] { return first.Connections() == 0; }));
}

TEST_F(SingleInstance, NineIdleConnectionsHoldOnlyEightAndTooLongARequestIsCut)
{
    CSingleInstance first(QStringLiteral("Vocamo"), {60000, 8});
    ASSERT_EQ(first.Acquire(), CSingleInstance::Outcome::Acquired);
    std::vector<std::unique_ptr<QLocalSocket>> peers;
    for (int i = 0; i < 9; ++i) {
        peers.push_back(std::make_unique<QLocalSocket>());
        peers.back()->connectToServer(first.ServerName());
        ASSERT_TRUE(peers.back()->waitForConnected(5000));
    }
    auto closed = [&] {
        return std::count_if(peers.begin(), peers.end(), [](const auto &p) {
            return p->state() == QLocalSocket::UnconnectedState;
        });
    };
    EXPECT_TRUE(PumpUntil([&] { return closed() == 1; }));
    EXPECT_EQ(first.Connections(), 8);
    // Too much without a newline is closed at once, not at the time-out.
    peers.front()->write(QByteArray(CSingleInstance::kMaxRequest + 1, 's'));
    EXPECT_TRUE(PumpUntil([&] { return closed() == 2; }));
}

// Two real programs: the later start's --dial reaches the modem through the
// running one, and the later start ends at once.
TEST_F(SingleInstance, ALaterStartHandsItsDialToTheRunningPhone)
{
    ModemSimOptions options;
    options.log = false;
    CModemSim modem(options);
    ASSERT_TRUE(modem.Start());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VOCAMO_MODEMS", QString::fromStdString(modem.SlavePath()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess running;
    running.setProcessEnvironment(env);
    running.start(VOCAMO_BIN, {});
    ASSERT_TRUE(modem.WaitForCommand("AT+VCID=1", 30s));

    QProcess later;
    later.setProcessEnvironment(env);
    later.start(VOCAMO_BIN, {QStringLiteral("--dial"), QStringLiteral("(0171) 555-12")});
    ASSERT_TRUE(later.waitForFinished(30000));
    EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();
    EXPECT_TRUE(modem.WaitForCommand("ATD017155512", 30s));
    running.terminate();
    EXPECT_TRUE(running.waitForFinished(30000));
}

} // namespace
