// The window's life: construction and initialisation, destruction, the
// posted-message pump and timers.
#include "app/VocamoDlg.h"

#include "app/AboutDlg.h"
#include "app/DataFiles.h"
#include "app/DeviceMonitor.h"
#include "app/MissedCallNotification.h"
#include "app/PowerMonitor.h"
#include "app/RecentList.h"
#include "app/RingPlayer.h"
#include "app/TrayIcon.h"
#include "history/CallHistory.h"
#include "phonebook/BookmarkDlg.h"
#include "phonebook/Phonebook.h"
#include "platform/tapi/ModemProvider.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skin/TaskbarNotifier.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMessageBox>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <utility>

namespace vocamo {

namespace {

// Runs a start-up step once, queued behind the window's first paint, so the
// first frame does not wait for it; at the latest after kLatestMs, as a
// window that is never exposed is never painted.
class CAfterFirstPaint : public QObject {
public:
    static constexpr int kLatestMs = 1000;

    CAfterFirstPaint(QWidget *window, std::function<void()> step)
        : QObject(window), m_step(std::move(step))
    {
        window->installEventFilter(this);
        QTimer::singleShot(kLatestMs, this, [this] { Run(); });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(
                this, [this] { Run(); }, Qt::QueuedConnection);
        return false;
    }

private:
    void Run()
    {
        if (auto step = std::exchange(m_step, {})) {
            parent()->removeEventFilter(this);
            step();
        }
    }

    std::function<void()> m_step;
};

} // namespace

CVocamoDlg::CVocamoDlg(VocamoServices services)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_services(std::move(services)),
      m_target(this)
{
    setWindowTitle(QStringLiteral("Vocamo"));
    setWindowIcon(QIcon(QStringLiteral(":/icon/174.png")));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    if (!m_services.makeController)
        m_services.makeController = [cache = m_probeCache](CMessageTarget &target,
                                                           const std::string &exeDir) {
            CTapiClient::Settings settings;
            settings.probeCache = cache;
            return std::make_unique<CCallController>(target, exeDir, settings);
        };
    if (!m_services.makeBridge)
        m_services.makeBridge = [](CMessageTarget &target, CSkypeTransport &transport) {
            return std::make_unique<CSkypeBridge>(target, transport);
        };
    for (int id : {TIMER_SCROLL, TIMER_NOTIFIER, TIMER_UP, TIMER_DOWN}) {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
        m_timers[id] = timer;
    }
    Initialize();
}

CVocamoDlg::~CVocamoDlg()
{
    Destroy();
}

void CVocamoDlg::Initialize()
{
    m_exeDir =
        m_services.exeDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_services.exeDir;
    m_lines = CLineStates();
    m_ringSoundPath = DataFilePath(m_exeDir, QStringLiteral("RING.WAV"));
    // Beside the program where the user may write there, else in the
    // user's configuration folder.
    m_phonebookDir = QString::fromStdString(
        std::filesystem::path(BookmarkLocation(m_exeDir.toStdString())).parent_path().string());
    m_ring = m_services.ringPlayer ? m_services.ringPlayer : std::make_shared<CRingPlayer>();
    m_painting = false;
    m_keypadHidden = true;
    m_editor = std::make_unique<CBookmarkDlg>(this, &m_target, m_phonebookDir.toStdString());

    m_notifier = std::make_unique<CTaskbarNotifier>(m_services.notifierPeriodDivisor);
    m_notifier->Create(&m_target);

    if (m_services.skypeTransport) {
        m_transport = m_services.skypeTransport;
    } else {
        auto transport = std::make_unique<CDBusSkypeTransport>();
        m_transport = transport.get();
        m_ownTransport = std::move(transport);
    }
    m_bridge = m_services.makeBridge(m_target, *m_transport);

    LoadSkin();
    StartDesktop();

    // The first frame comes before the modem line is opened and the lists
    // are filled, whatever their size: the window shows at once, in its
    // fixed size and skin, and the rows fill it right after.
    new CAfterFirstPaint(this, [this] {
        if (!m_controller) // a device may have come meanwhile
            RecreateCallController();
        if (m_bridge)
            m_bridge->Discover();
    });

    if (m_services.watchSystem) {
        m_power = std::make_unique<CPowerMonitor>([this](bool suspending) {
            if (suspending)
                OnSuspend();
            else
                OnResume();
        });
        m_devices = std::make_unique<CDeviceMonitor>(
            [this] { OnDeviceArrival(); },
            [this](const std::vector<std::string> &names) {
                m_probeCache->Clear();
                // Only the modem's own port going away releases the line.
                if (std::any_of(names.begin(), names.end(), &CModemProvider::IsModemPort))
                    OnDeviceQueryRemove();
            });
    }
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::LoadSkin()
{
    m_skin = std::make_unique<CSkin>();
    m_items = &m_skin->Items();
    const CSkin::Elements &e = m_skin->GetElements();
    m_skypeButton = e.skypeButton;
    m_modemButton = e.modemButton;
    m_callStart = e.callStart;
    m_callEnd = e.callEnd;
    m_display = e.display;
    m_bookmark = e.bookmark;
    m_panel = e.panel;
    m_panelClose = e.panelClose;
    m_down = e.downArrow;
    m_placeholderRow = e.placeholderRow;
}

void CVocamoDlg::Destroy()
{
    for (auto &[id, timer] : m_timers)
        timer->stop();
    m_devices.reset();
    m_power.reset();
    m_hovered = nullptr;
    m_selectedFriendRow = m_selectedNameRow = m_firstFriendRow = m_firstNameRow = nullptr;
    m_selectedNumberEntry = nullptr;
    m_controller.reset();
    m_notifier.reset();
    m_bridge.reset();
    m_ownTransport.reset();
    m_editor.reset();
    m_items = nullptr;
    m_skin.reset();
}

void CVocamoDlg::PostMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    m_target.Post(message, wParam, lParam);
}

bool CVocamoDlg::event(QEvent *event)
{
    if (const CAppMessageEvent *m = CAppMessageEvent::From(event)) {
        OnAppMessage(m->message, m->wParam, m->lParam);
        UpdateTray();
        return true;
    }
    return QWidget::event(event);
}

void CVocamoDlg::ShowMessage(const QString &text)
{
    if (m_services.messageBox) {
        m_services.messageBox(text);
        return;
    }
    QMessageBox::information(this, QStringLiteral("Vocamo"), text);
}

void CVocamoDlg::ShowAbout()
{
    if (m_services.showAbout) {
        m_services.showAbout();
        return;
    }
    CAboutDlg about(this);
    about.ShowPhonebookPath(m_phonebookDir + QStringLiteral("/Bookmark.ini"));
    about.exec();
}

void CVocamoDlg::HideWindow()
{
    hide();
}

void CVocamoDlg::ShowWindowNormal()
{
    showNormal();
    raise();
    activateWindow();
}

void CVocamoDlg::closeEvent(QCloseEvent *event)
{
    // Alt+F4 or the window menu's Close ends the program, as the dialog's
    // cancel did.
    event->accept();
    QCoreApplication::exit(0);
}

void CVocamoDlg::focusInEvent(QFocusEvent *)
{
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::focusOutEvent(QFocusEvent *)
{
    PostMessage(WM_REFRESH, 0, 0);
}

// Timers ---------------------------------------------------------------------

void CVocamoDlg::SetTimer(int id, int periodMs)
{
    if (auto it = m_timers.find(id); it != m_timers.end())
        it->second->start(periodMs);
}

void CVocamoDlg::KillTimer(int id)
{
    if (auto it = m_timers.find(id); it != m_timers.end())
        it->second->stop();
}

bool CVocamoDlg::IsTimerActive(int id) const
{
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

void CVocamoDlg::OnTimer(int id)
{
    RecomputeViewport();
    switch (id) {
    case TIMER_SCROLL:
        ScrollTick();
        break;
    case TIMER_NOTIFIER:
        RefreshCallNotifier();
        break;
    case TIMER_UP:
        Previous();
        break;
    case TIMER_DOWN:
        Next();
        break;
    default:
        break;
    }
    PostMessage(WM_REFRESH, 0, 0);
}

} // namespace vocamo
