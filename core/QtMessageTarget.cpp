#include "core/QtMessageTarget.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>

namespace vocamo {

namespace {
// Released by every post, acquired by every receipt: Qt's queue does the
// same, but with locks that ThreadSanitizer cannot see.
std::atomic<unsigned long> g_posts{0};

void PostTo(QObject *receiver, unsigned message, WPARAM wParam, LPARAM lParam)
{
    // postEvent is thread-safe and takes ownership of the event.
    auto *event = new CAppMessageEvent(message, wParam, lParam);
    g_posts.fetch_add(1, std::memory_order_release);
    QCoreApplication::postEvent(receiver, event, Qt::NormalEventPriority);
}

} // namespace

CAppMessageEvent::CAppMessageEvent(unsigned message_, WPARAM wParam_, LPARAM lParam_)
    : QEvent(EventType()), message(message_), wParam(wParam_), lParam(lParam_)
{
}

QEvent::Type CAppMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

const CAppMessageEvent *CAppMessageEvent::From(QEvent *event)
{
    g_posts.load(std::memory_order_acquire);
    if (!event || event->type() != EventType())
        return nullptr;
    return static_cast<const CAppMessageEvent *>(event);
}

CQtMessageTarget::CQtMessageTarget(QObject *receiver) : m_receiver(receiver) {}

void CQtMessageTarget::Post(unsigned message, WPARAM wParam, LPARAM lParam)
{
    PostTo(m_receiver, message, wParam, lParam);
}

void CQtMessageTarget::PostAfter(std::chrono::milliseconds delay, unsigned message, WPARAM wParam,
                                 LPARAM lParam)
{
    // The timer belongs to the receiver, and goes with it.
    QTimer::singleShot(delay, Qt::PreciseTimer, m_receiver,
                       [receiver = m_receiver, message, wParam, lParam] {
                           PostTo(receiver, message, wParam, lParam);
                       });
}

} // namespace vocamo
