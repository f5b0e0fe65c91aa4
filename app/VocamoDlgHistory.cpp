// What the phone keeps and tells beside the window: every call in the call
// history, missed calls on the desktop, the tray icon and do not disturb.
#include "app/MissedCallNotification.h"
#include "app/RecentList.h"
#include "app/TrayIcon.h"
#include "app/VocamoDlg.h"
#include "history/CallHistory.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skype/SkypeBridge.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <utility>

namespace vocamo {

namespace {

constexpr int kRecentPage = 4; // as the contact lists page

QDateTime At(CallSummary::Time time)
{
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count());
}

CallOutcome OutcomeOf(CallEnd end)
{
    switch (end) {
    case CallEnd::Ended:
        return CallOutcome::Answered;
    case CallEnd::Missed:
        return CallOutcome::Missed;
    case CallEnd::Busy:
        return CallOutcome::Busy;
    case CallEnd::Cancelled: // nobody answered before the caller gave up
    case CallEnd::NoAnswer:
        return CallOutcome::NoAnswer;
    case CallEnd::NoDialTone:
        return CallOutcome::NoDialTone;
    case CallEnd::InvalidNumber:
        return CallOutcome::InvalidNumber;
    case CallEnd::Failed:
    case CallEnd::None:
        break;
    }
    return CallOutcome::Failed;
}

} // namespace

void CVocamoDlg::StartDesktop()
{
    m_missedCalls = std::make_unique<CMissedCallNotification>();
    connect(m_missedCalls.get(), &CMissedCallNotification::callBack, this,
            [this](int line, const QString &number) { CallBack(line, number.toStdString()); });

    m_tray = std::make_unique<CTrayIcon>();
    connect(m_tray.get(), &CTrayIcon::toggleWindow, this, &CVocamoDlg::ToggleShown);
    connect(m_tray.get(), &CTrayIcon::showPhone, this, [this] { ShowWindowNormal(); });
    connect(m_tray.get(), &CTrayIcon::showRecent, this, [this] {
        ShowWindowNormal();
        ShowRecent();
    });
    connect(m_tray.get(), &CTrayIcon::doNotDisturbChanged, this, &CVocamoDlg::SetDoNotDisturb);
    connect(m_tray.get(), &CTrayIcon::quit, this, [this] { OnKeyDown(Qt::Key_F5); });

    // Opened by the first call or the Recent list: SQLite costs an idle
    // phone about 1.6 MiB. Only when the last run left the history's log
    // behind (a kill, a crash) is it opened once the first frame is out, so
    // that a call cut there is closed as interrupted at this start.
    const QString path =
        m_services.historyPath.isEmpty() ? CCallHistory::DefaultPath() : m_services.historyPath;
    if (QFileInfo::exists(path + QStringLiteral("-wal")))
        QMetaObject::invokeMethod(
            this, [this] { History(); }, Qt::QueuedConnection);
}

CCallHistory *CVocamoDlg::History()
{
    if (!m_history) {
        m_history = std::make_unique<CCallHistory>(m_services.historyPath);
        m_history->Open(); // without the file the phone works on, unrecorded
    }
    return m_history.get();
}

// Shows or hides the phone; a call goes on either way.
void CVocamoDlg::ToggleShown()
{
    if (isVisible() && !isMinimized())
        HideWindow();
    else
        ShowWindowNormal();
}

void CVocamoDlg::SetDoNotDisturb(bool on)
{
    m_doNotDisturb = on;
    if (m_tray)
        m_tray->SetDoNotDisturb(on);
}

void CVocamoDlg::CallBack(int32_t line, const std::string &number)
{
    if (number.empty())
        return;
    ShowWindowNormal();
    DialRequest(line, number);
}

// A call is recorded as it begins, so a crash in the middle of it leaves its
// row, and its party as soon as the line knows it.
void CVocamoDlg::RecordCallParty()
{
    if (m_call.IsActive()) {
        HideRecent(); // the call screen shows the call
        std::string number;
        std::string name;
        if (m_call.Line() == LINE_MODEM) {
            number = m_lines.PartyNumber();
            name = m_lines.PartyName();
        } else if (m_bridge) {
            number = m_bridge->GetPartnerHandle();
            name = m_bridge->GetFriendName(number);
        }
        if (m_recording.id == 0 || m_recording.line != m_call.Line()) {
            CCallHistory *history = History();
            m_recording = {history->Begin(static_cast<LineNumber>(m_call.Line()),
                                          m_call.IsIncoming() ? CallDirection::Incoming
                                                              : CallDirection::Outgoing,
                                          number, name, QDateTime::currentDateTime()),
                           m_call.Line(), number, name};
        } else if (number != m_recording.number || name != m_recording.name) {
            m_history->SetParty(m_recording.id, number, name);
            m_recording.number = number;
            m_recording.name = name;
        }
    }
}

// Each end the popup is told of, at once: two lines may end in one message.
void CVocamoDlg::RecordCallEnd(const CallSummary &call)
{
    CCallHistory *history = History();
    qint64 id = 0;
    if (m_recording.id != 0 && m_recording.line == call.line) {
        id = std::exchange(m_recording, {}).id;
        history->SetParty(id, call.number, call.name);
    } else {
        // Over before the window saw it begin: a dial refused at once.
        id = history->Begin(static_cast<LineNumber>(call.line),
                            call.incoming ? CallDirection::Incoming : CallDirection::Outgoing,
                            call.number, call.name, At(call.start));
    }
    history->End(id, OutcomeOf(call.outcome), At(call.end));
    if (call.outcome == CallEnd::Missed) {
        ++m_missedUnseen;
        if (m_missedCalls)
            m_missedCalls->Add(static_cast<LineNumber>(call.line), call.number, call.name,
                               At(call.start));
    }
    OnHistoryChanged();
}

// The Recent list takes the place of the contact lists until it is closed
// or a call begins; the lines stay as they were.
void CVocamoDlg::ShowRecent()
{
    MissedCallsSeen();
    if (IsCallInProgress(m_lines.WindowState()))
        return;
    if (!m_recent) {
        m_recent = std::make_unique<CRecentList>(*History(), this);
        connect(m_recent.get(), &CRecentList::callBack, this,
                [this](int line, const QString &number) {
                    HideRecent();
                    CallBack(line, number.toStdString());
                });
    }
    RecomputeViewport();
    const auto picture = [this](const char *name) {
        const CSkinImage *image = m_skin ? m_skin->FindImage(name) : nullptr;
        return image ? image->GetImage() : QImage();
    };
    m_recent->Dress(m_listViewport, picture("IDB_BACKGROUND_BASE"), picture("IDB_BOY1"),
                    picture("IDB_BACKGROUND_TOP"));
    m_recent->Model().Reload();
    m_recent->setCurrentIndex(m_recent->Model().index(0));
    m_recent->show();
    m_recent->raise();
    LightRecentButton(true);
}

void CVocamoDlg::HideRecent()
{
    if (!IsRecentShown())
        return;
    m_recent->hide();
    LightRecentButton(false);
}

// The Recent button is lit, and the line buttons dimmed, while the list shows.
void CVocamoDlg::LightRecentButton(bool lit)
{
    CSkinButton *button = m_skin ? m_skin->GetElements().recentButton : nullptr;
    if (!button || button->IsActive() == lit)
        return;
    button->SetActive(lit);
    PostMessage(WM_REFRESH, 0, 0);
}

// Up in the phone, shown or not: a phone hidden with the list up shows it again.
bool CVocamoDlg::IsRecentShown() const
{
    return m_recent && !m_recent->isHidden();
}

CRecentList *CVocamoDlg::Recent() const
{
    return m_recent.get();
}

// F3 and the Recent button open and close the Recent list.
void CVocamoDlg::ToggleRecent()
{
    if (IsRecentShown())
        HideRecent();
    else
        ShowRecent();
}

// While the Recent list is open the arrows, the page keys and Enter work on
// it, and Escape closes it.
bool CVocamoDlg::OnRecentKey(int key)
{
    if (key == Qt::Key_F3) {
        ToggleRecent();
        return true;
    }
    if (!IsRecentShown())
        return false;
    switch (key) {
    case Qt::Key_Up:
        m_recent->Step(-1);
        return true;
    case Qt::Key_Down:
        m_recent->Step(1);
        return true;
    case Qt::Key_PageUp:
        m_recent->Step(-kRecentPage);
        return true;
    case Qt::Key_PageDown:
        m_recent->Step(kRecentPage);
        return true;
    case Qt::Key_Escape:
        HideRecent();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const CallRecord *call = m_recent->Selected()) {
            const CallRecord chosen = *call;
            HideRecent();
            CallBack(chosen.line, chosen.number);
        }
        return true;
    default:
        return false;
    }
}

void CVocamoDlg::OnHistoryChanged()
{
    if (IsRecentShown())
        m_recent->Model().Reload();
}

void CVocamoDlg::MissedCallsSeen()
{
    m_missedUnseen = 0;
    if (m_missedCalls)
        m_missedCalls->Clear();
    UpdateTray();
}

void CVocamoDlg::UpdateTray()
{
    if (!m_tray)
        return;
    const int32_t state = m_lines.WindowState();
    const CTrayIcon::State tray = state == RINGING          ? CTrayIcon::State::Ringing
                                  : IsCallInProgress(state) ? CTrayIcon::State::InCall
                                                            : CTrayIcon::State::Idle;
    // Each change paints a new icon: only on a change.
    if (static_cast<int>(tray) != m_trayShows.state) {
        m_trayShows.state = static_cast<int>(tray);
        m_tray->SetState(tray);
    }
    if (m_missedUnseen != m_trayShows.missed) {
        m_trayShows.missed = m_missedUnseen;
        m_tray->SetMissedCount(m_missedUnseen);
    }
}

} // namespace vocamo
