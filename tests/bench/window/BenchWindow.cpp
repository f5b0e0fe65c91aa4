#include "tests/bench/window/BenchWindow.h"

#include "app/RingPlayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <memory>

namespace vocamo::bench {

namespace {

class SilentRing : public CRingPlayer {
public:
    bool PlayRing(const QString &, bool) override { return true; }
};

} // namespace

VocamoServices QuietServices(const QString &dir, CSkypeTransport &skype)
{
    VocamoServices services;
    services.exeDir = dir;
    services.historyPath = QDir(dir).filePath(QStringLiteral("history.sqlite"));
    services.skypeTransport = &skype;
    services.ringPlayer = std::make_shared<SilentRing>();
    services.watchSystem = false;
    services.messageBox = [](const QString &) {};
    return services;
}

bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout.count());
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace vocamo::bench
