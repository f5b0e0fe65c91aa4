#pragma once

#include "core/MessageTarget.h"

#include <QEvent>
#include <QPointer>

class QObject;

namespace vocamo {

// The event that carries a posted window message to its receiver.
class CAppMessageEvent : public QEvent {
public:
    CAppMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam);

    static QEvent::Type EventType();

    // The message an event carries, or null for any other event. Call it
    // before touching the event: it also orders the poster's writes before
    // the receiver's reads for tools that cannot see into Qt's queue.
    static const CAppMessageEvent *From(QEvent *event);

    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
};

// Posts each message as a CAppMessageEvent to one receiver, at one priority,
// so Qt's queue keeps them in posting order.
class CQtMessageTarget : public CMessageTarget {
public:
    explicit CQtMessageTarget(QObject *receiver);
    void Post(unsigned message, WPARAM wParam, LPARAM lParam) override;
    void PostAfter(std::chrono::milliseconds delay, unsigned message, WPARAM wParam,
                   LPARAM lParam) override;

private:
    QObject *m_receiver;
};

} // namespace vocamo
