#include "tests/bench/window/BenchWindow.h"

#include "app/RingPlayer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QInputDevice>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
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

CInputProbe::CInputProbe(QWidget *window, From from) : m_window(window)
{
    QInputDevice::primaryKeyboard(); // made here, not by the first event off this thread
    window->installEventFilter(this);
    if (from == From::Now)
        m_thread = std::thread([this] { Post(); });
}

CInputProbe::~CInputProbe()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    QCoreApplication::sendPostedEvents(m_window, QEvent::KeyPress);
    m_window->removeEventFilter(this);
}

double CInputProbe::LongestMs() const
{
    std::lock_guard lock(m_mutex);
    return std::chrono::duration<double, std::milli>(m_longest).count();
}

bool CInputProbe::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint && paints++ == 0) {
        firstPaint = std::chrono::steady_clock::now();
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Post(); });
    }
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F20)
        return false;
    std::lock_guard lock(m_mutex);
    if (!m_sent.empty()) {
        m_longest = std::max(m_longest, std::chrono::steady_clock::now() - m_sent.front());
        m_sent.pop_front();
    }
    return true;
}

void CInputProbe::Post()
{
    while (!m_stop) {
        {
            std::lock_guard lock(m_mutex);
            m_sent.push_back(std::chrono::steady_clock::now());
        }
        QCoreApplication::postEvent(m_window,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_F20, Qt::NoModifier));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace vocamo::bench
