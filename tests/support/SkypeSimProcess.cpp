#include "tests/support/SkypeSimProcess.h"

#include "skype/SkypeBridge.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace vocamo {

bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout.count());
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

int CTestWindow::Count(const PostedMessage &m) const
{
    return static_cast<int>(std::count(got.begin(), got.end(), m));
}

bool CTestWindow::event(QEvent *e)
{
    const CAppMessageEvent *m = CAppMessageEvent::From(e);
    if (!m)
        return QObject::event(e);
    got.push_back({m->message, m->wParam, m->lParam});
    if (m->message == WM_APP_EVENT && m->wParam == RECEIVER_SKYPE && bridge)
        bridge->OnRequest(m->wParam, m->lParam);
    return true;
}

} // namespace vocamo
