#include "core/QtMessageTarget.h"

#include <QCoreApplication>

namespace vocamo {

CAppMessageEvent::CAppMessageEvent(unsigned message_, WPARAM wParam_, LPARAM lParam_)
    : QEvent(EventType()), message(message_), wParam(wParam_), lParam(lParam_)
{
}

QEvent::Type CAppMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CQtMessageTarget::CQtMessageTarget(QObject *receiver) : m_receiver(receiver) {}

void CQtMessageTarget::Post(unsigned message, WPARAM wParam, LPARAM lParam)
{
    // postEvent is thread-safe and takes ownership of the event.
    QCoreApplication::postEvent(m_receiver, new CAppMessageEvent(message, wParam, lParam),
                                Qt::NormalEventPriority);
}

} // namespace vocamo
