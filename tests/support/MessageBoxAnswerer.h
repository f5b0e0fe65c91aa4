#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <deque>
#include <vector>

// Answers the message boxes the dialog under test asks, in order, and keeps
// what each one said. A box nobody expected is recorded and closed.
class CMessageBoxAnswerer {
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        bool expected;
    };

    CMessageBoxAnswerer()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
        m_poll.start(2);
    }

    void Answer(QMessageBox::StandardButton button) { m_answers.push_back(button); }

    size_t Count() const { return m_seen.size(); }
    const Seen &Last() const { return m_seen.back(); }
    size_t Unanswered() const { return m_answers.size(); }

private:
    void Poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        const bool expected = !m_answers.empty();
        m_seen.push_back(
            {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), expected});
        const QMessageBox::StandardButton answer =
            expected ? m_answers.front() : QMessageBox::NoButton;
        if (expected)
            m_answers.pop_front();
        if (QAbstractButton *button = box->button(answer))
            button->click();
        else
            box->reject();
    }

    QTimer m_poll;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<Seen> m_seen;
};
