#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace vocamo {

// The phone in the tray: its icon tells idle, ringing, in a call and missed
// calls apart; a click shows or hides the phone; its menu asks the window for
// the rest. Without a tray it does nothing and the program runs as without it.
class CTrayIcon : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Ringing, InCall };

    explicit CTrayIcon(bool available, QObject *parent = nullptr);
    // Shown where the desktop has a tray.
    explicit CTrayIcon(QObject *parent = nullptr);
    ~CTrayIcon() override;

    bool IsShown() const { return m_tray != nullptr; }
    void SetState(State state);
    void SetMissedCount(int count);
    void SetDoNotDisturb(bool on);

signals:
    void toggleWindow();
    void showPhone();
    void showRecent();
    void doNotDisturbChanged(bool on);
    void quit();

private:
    void Update();

    State m_state = State::Idle;
    int m_missed = 0;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_doNotDisturb = nullptr;
    QIcon m_base;
};

} // namespace vocamo
