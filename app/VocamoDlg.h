#pragma once

#include "app/CallProgress.h"
#include "app/LineStates.h"
#include "core/CallState.h"
#include "core/QtMessageTarget.h"
#include "platform/tapi/ModemProbeCache.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vocamo {

class CBookmarkDlg;
class CCallController;
class CCallHistory;
class CContactItem;
class CDeviceMonitor;
class CMissedCallNotification;
class CPowerMonitor;
class CRecentList;
class CRingPlayer;
class CSkinButton;
class CSkinItem;
class CSkin;
class CSkinItemList;
class CSkypeBridge;
class CSkypeFriend;
class CSkypeTransport;
class CTaskbarNotifier;
class CTrayIcon;

// What the window needs from the world, so tests can hand in their own.
struct VocamoServices {
    QString exeDir; // Bookmark.ini and RING.WAV; empty: the executable's folder
    // Each returns a new object for the window; null functions make the real ones.
    std::function<std::unique_ptr<CCallController>(CMessageTarget &, const std::string &exeDir)>
        makeController;
    std::function<std::unique_ptr<CSkypeBridge>(CMessageTarget &, CSkypeTransport &)> makeBridge;
    CSkypeTransport *skypeTransport = nullptr;       // null: the session bus
    std::function<void(const QString &)> messageBox; // the few fixed OK boxes
    std::function<void()> showAbout;                 // null: the About box, modal
    std::function<void()> quit;                      // null: end the event loop (F5)
    std::shared_ptr<CRingPlayer> ringPlayer;         // null: QSoundEffect
    bool watchSystem = true;                         // logind power and udev device events
    int deviceArrivalDelayMs = 500;
    QString historyPath; // empty: $XDG_DATA_HOME/vocamo/history.sqlite
    unsigned notifierPeriodDivisor = 1;
};

// The phone itself: a frameless, translucent 360 x 550 window drawn wholly by
// the skin. It owns the modem line's controller, the Skype bridge, the popup,
// the phonebook editor and the skin, and routes every posted message.
//
// The lines' states, dial strings and selections live in CLineStates; the
// window changes them only where the lines' events and the user's input
// arrive, and composing a frame only reads them.
//
// The class is split by concern: VocamoDlg.cpp (life, timers),
// VocamoDlgStates.cpp (messages and line states), VocamoDlgLists.cpp (the
// contact rows), VocamoDlgSelection.cpp (selection, number panel, moves
// through a list), VocamoDlgScreen.cpp (what a frame shows, scrolling,
// paint), VocamoDlgInput.cpp (mouse, keys, dialling), VocamoDlgNotices.cpp
// (ring and popup), VocamoDlgRequests.cpp (the single instance's requests)
// and VocamoDlgHistory.cpp (call history and the Recent list).
class CVocamoDlg : public QWidget {
    Q_OBJECT
public:
    explicit CVocamoDlg(VocamoServices services = {});
    ~CVocamoDlg() override;

    static constexpr int kWidth = 360;
    static constexpr int kHeight = 550;

    // Timer ids and periods.
    enum : int { TIMER_SCROLL = 66, TIMER_NOTIFIER = 67, TIMER_UP = 68, TIMER_DOWN = 69 };

    // The message table; every posted message arrives here in posting order.
    int OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam);
    void PostMessage(unsigned message, WPARAM wParam, LPARAM lParam);
    CMessageTarget &MessageTarget() { return m_target; }

    // Line states.
    void OnCallStateChanged();
    void OnSkypeStateChanged();
    void RecreateCallController();
    int32_t SkypeState() const;
    int32_t ModemState() const;
    // NORMAL to ANSWERING; a state outside the scale is reported and is not.
    bool IsLineUsable(int32_t line);

    // Power and devices: the logind and udev adapters call these.
    void OnSuspend();
    void OnResume();
    void OnDeviceArrival();
    void OnDeviceQueryRemove();
    void OnDeviceQueryRemoveFailed();

    // Timers and paint.
    void OnTimer(int id);
    void SetTimer(int id, int periodMs);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;
    QImage ComposeFrame(); // the paint handler's steps; returns the picture
    const QImage &LastFrame() const { return m_frame; }
    QRect ListViewport() const { return m_listViewport; }

    // Contact lists, number panel and call screen.
    bool SelectElement(CSkinItem *element, int flag);
    void ClosePanel();
    void OpenNumberPanel(CContactItem *row);
    bool IsPanelOpen() const;
    void Previous();
    void Next();
    void PageUp();
    void PageDown();
    void First();
    void Last();
    void RebuildFriendRows();
    void RebuildNameRows();
    void ShowRowsForLine();
    void UpdateCallButtons();

    // Input, dialling and call actions.
    void CallAction();
    void EnterAction();
    void HangUp();
    void SwitchToSkype();
    void SwitchToModem();
    void ToggleKeypad();
    void OnKeyDown(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // Dialling asked for from outside (the command line, a later start):
    // the line's display gets the number and the call starts as the call
    // button starts it; at start-up it waits a little for the line to come up.
    void DialRequest(int32_t line, const std::string &target);
    // What the display shows: the dial string, or why there is no modem line.
    std::string DisplayText() const;

    // Ring and call notices.
    void PlayRing(const QString &path, bool rewind);
    void ShowCallNotifier(const std::string &text, unsigned skin);
    std::string NotifierText(bool refresh) const;
    // The call the popup shows, and the last call that ended, on either line.
    const CCallProgress &CallShown() const { return m_call; }
    const std::optional<CallSummary> &LastEndedCall() const { return m_lastCall; }

    // The call history, missed calls, the tray and do not disturb
    // (VocamoDlgHistory.cpp).
    CCallHistory *History(); // opened on first use
    CMissedCallNotification *MissedCalls() const { return m_missedCalls.get(); }
    CTrayIcon *Tray() const { return m_tray.get(); }
    int MissedUnseen() const { return m_missedUnseen; }
    bool DoNotDisturb() const { return m_doNotDisturb; }
    void SetDoNotDisturb(bool on);
    void ToggleShown(); // the tray's click: never ends a call
    void ShowRecent();  // F3, the tray's Recent calls
    void HideRecent();
    void ToggleRecent(); // F3, the Recent button
    bool IsRecentShown() const;
    CRecentList *Recent() const;
    void CallBack(int32_t line, const std::string &number);

    // What the window shows and holds (for its own parts and for tests).
    const CLineStates &Lines() const { return m_lines; }
    int32_t WindowState() const { return m_lines.WindowState(); }
    int32_t CallOwner() const { return m_lines.CallOwner(); }
    int32_t ActiveLine() const { return m_lines.ActiveLine(); }
    const std::string &DialString() const { return m_lines.DialString(); }
    const std::string &PartyNumber() const { return m_lines.PartyNumber(); }
    const std::string &PartyName() const { return m_lines.PartyName(); }
    bool KeypadHidden() const { return m_keypadHidden; }
    CCallController *Controller() const { return m_controller.get(); }
    CSkypeBridge *Bridge() const { return m_bridge.get(); }
    CTaskbarNotifier *Notifier() const { return m_notifier.get(); }
    CBookmarkDlg *BookmarkEditor() const { return m_editor.get(); }
    CSkinItemList *Items() const { return m_items; }
    CSkin *Skin() const { return m_skin.get(); }
    CSkinItem *ElementOfKind(int kind) const;
    CContactItem *SelectedFriendRow() const { return m_selectedFriendRow; }
    CContactItem *SelectedNameRow() const { return m_selectedNameRow; }
    CContactItem *FirstFriendRow() const { return m_firstFriendRow; }
    CContactItem *FirstNameRow() const { return m_firstNameRow; }
    CSkinButton *SelectedNumberEntry() const { return m_selectedNumberEntry; }
    CSkinItem *HoveredElement() const { return m_hovered; }
    CRingPlayer &Ring() { return *m_ring; }
    const QString &ExeDir() const { return m_exeDir; }
    const QString &PhonebookDir() const { return m_phonebookDir; }
    const QString &RingSoundPath() const { return m_ringSoundPath; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Initialize();
    void LoadSkin();
    void Destroy();
    void ShowMessage(const QString &text);
    void ShowAbout();
    void HideWindow();
    void ShowWindowNormal();
    void RecomputeViewport();
    void StartScrollIfNeeded();
    void ScrollTick();
    void ForgetRemoved(int kind);
    void RemoveNameRows();
    void RemoveFriendRows();
    void LoseList(int32_t line);
    // Where a list stood before it was rebuilt.
    struct ListPlace {
        bool valid = false;
        bool shown = false;
        bool hovered = false;
        int left = 0;
        int top = 0;
    };
    ListPlace PlaceOf(const CContactItem *first, int kind) const;
    void FinishRebuild(int32_t line, CContactItem *first, const ListPlace &place,
                       const std::vector<std::string> &records);
    void BuildFriendRows();
    void PlaceFriendRow(uint32_t index);
    void ReadLineStates();
    void MakeLineActive(int32_t line);
    void HandOverFrom(int32_t lostLine);
    void SelectPartnerRow();
    void BeginCallNotices(int32_t line, int32_t state);
    void EndCallNotices(int32_t line, CallEnd reported);
    void OnLineCallEnded(int32_t line, std::optional<LineCallEnd> end);
    void ShowCallEnd();
    void UpdateCallParty();
    void TickCallClock();
    bool FarEndRinging() const;
    // Every call on both lines ends here once, with all a history keeps.
    void OnCallEnded(const CallSummary &call);
    void RefreshCallNotifier();
    void UpdateCallNotifier();
    void Page(int direction);
    void HideLineButtons();
    void IdleRows();
    void CallRows();
    void SelectRowInList(CContactItem *row);
    CContactItem *ListFirst() const;
    CContactItem *ListSelected() const;
    void CallHandle(const std::string &handle);
    void DialNumber(const std::string &number);
    void OnLeftButtonUp(const QPoint &point);
    void OnLeftButtonDoubleClick();
    void OnWheel(int delta);
    void RunPendingDial();
    void StartDesktop();
    void RecordCallParty();
    void RecordCallEnd(const CallSummary &call);
    void OnHistoryChanged();
    void MissedCallsSeen();
    void UpdateTray();
    bool OnRecentKey(int key);
    void LightRecentButton(bool lit);

    VocamoServices m_services;
    CQtMessageTarget m_target;

    CLineStates m_lines;
    QString m_exeDir;
    QString m_phonebookDir; // the folder that holds Bookmark.ini
    // What the modem probes found, kept from one controller to the next until
    // a device comes or goes.
    const std::shared_ptr<CModemProbeCache> m_probeCache = std::make_shared<CModemProbeCache>();
    std::unique_ptr<CCallController> m_controller;
    std::unique_ptr<CTaskbarNotifier> m_notifier;
    std::unique_ptr<CSkypeTransport> m_ownTransport;
    CSkypeTransport *m_transport = nullptr;
    std::unique_ptr<CSkypeBridge> m_bridge;
    QString m_ringSoundPath;
    std::shared_ptr<CRingPlayer> m_ring;
    std::unique_ptr<CBookmarkDlg> m_editor;
    std::unique_ptr<CSkin> m_skin;
    CSkinItemList *m_items = nullptr; // the skin's
    bool m_painting = false;
    QRect m_listViewport;
    bool m_keypadHidden = true;

    CSkinButton *m_skypeButton = nullptr;
    CSkinButton *m_modemButton = nullptr;
    CSkinButton *m_callStart = nullptr;
    CSkinButton *m_callEnd = nullptr;
    CSkinItem *m_display = nullptr;
    CSkinItem *m_bookmark = nullptr;
    CSkinItem *m_panel = nullptr;
    CSkinItem *m_panelClose = nullptr;
    CSkinItem *m_down = nullptr;
    CSkinItem *m_hovered = nullptr;
    CContactItem *m_selectedFriendRow = nullptr;
    CContactItem *m_selectedNameRow = nullptr;
    CContactItem *m_firstFriendRow = nullptr;
    CContactItem *m_firstNameRow = nullptr;
    CContactItem *m_placeholderRow = nullptr;
    // The friend rows by the friend's index (null for a friend without a
    // row), and the bridge and friends list they were made from.
    std::vector<CContactItem *> m_friendRows;
    const CSkypeBridge *m_friendRowsOf = nullptr;
    uint64_t m_friendRowsList = 0;
    CSkinButton *m_selectedNumberEntry = nullptr;

    std::map<int, QTimer *> m_timers;
    QImage m_frame;
    QPoint m_lastMove;
    QPoint m_dragOffset;
    bool m_dragging = false;

    // A dial request waiting for its line, until a deadline.
    int32_t m_pendingLine = LINE_NONE;
    std::string m_pendingTarget;
    std::chrono::steady_clock::time_point m_pendingUntil;

    CCallProgress m_call;
    std::optional<CallSummary> m_lastCall;
    QTimer *m_callClock = nullptr; // the talk time on the popup, each second

    std::unique_ptr<CPowerMonitor> m_power;
    std::unique_ptr<CDeviceMonitor> m_devices;

    // The call being recorded.
    struct Recording {
        qint64 id = 0;
        int32_t line = LINE_NONE;
        std::string number;
        std::string name;
    };
    std::unique_ptr<CCallHistory> m_history;
    Recording m_recording;
    std::unique_ptr<CMissedCallNotification> m_missedCalls;
    std::unique_ptr<CTrayIcon> m_tray;
    std::unique_ptr<CRecentList> m_recent; // made on first use; goes before the history
    struct TrayShows {
        int state = 0;
        int missed = 0;
    } m_trayShows;
    int m_missedUnseen = 0;
    bool m_doNotDisturb = false; // no ring, no popup; calls still recorded
};

} // namespace vocamo
