#include "phonebook/BookmarkDlg.h"

#include "core/Messages.h"
#include "core/Text.h"
#include "phonebook/EditorBitmaps.h"
#include "phonebook/Phonebook.h"
#include "phonebook/PictureButton.h"
#include "resources/KeyColour.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QValidator>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace vocamo {

namespace {

const char *const kHome = "Phone_Home";
const char *const kOffice = "Phone_Office";
const char *const kMobile = "Phone_Mobile";

// The template's edit size, 60 x 14 dialog units of its 8-point font.
constexpr QSize kEditSize(90, 23);

// A box cut to its limit must not keep half of a character.
class CWholeCharacters : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        for (qsizetype i = 0; i < input.size();) {
            const bool pair =
                i + 1 < input.size() && input[i].isHighSurrogate() && input[i + 1].isLowSurrogate();
            if (pair) {
                i += 2;
            } else if (input[i].isSurrogate()) {
                input.remove(i, 1);
                if (pos > i)
                    --pos;
            } else {
                ++i;
            }
        }
        return Acceptable;
    }
};

std::string TextOf(const QLineEdit *box)
{
    return box->text().toStdString();
}

// A number written by hand into the file may be longer than the limit; it is
// shown whole rather than cut, and the limit returns once it fits.
void ShowText(QLineEdit *box, const std::string &text)
{
    const QString shown = QString::fromStdString(text);
    box->setMaxLength(std::max<int>(CBookmarkDlg::kFieldLimit, static_cast<int>(shown.size())));
    box->setText(shown);
}

} // namespace

CBookmarkDlg::CBookmarkDlg(QWidget *parent, CMessageTarget *target, const std::string &exeDir)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint),
      m_target(target)
{
    setModal(false);
    setWindowTitle(QStringLiteral("Phonebook"));
    m_icon = LoadEditorIcon();
    if (!m_icon.isNull())
        setWindowIcon(QIcon(QPixmap::fromImage(m_icon)));

    // The layout is fixed in pixels by the background, so the font is too:
    // the size of the template's 8-point dialog font.
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(11);
    setFont(small);

    m_file.SetPathName(BookmarkPathFor(exeDir).c_str());

    m_background = LoadEditorBitmap(165);
    setFixedSize(m_background.isNull() ? QSize(360, 200) : m_background.size());
    const QRegion shape = RegionWithoutKeyColour(m_background, kKeyColour);
    if (!shape.isEmpty())
        setMask(shape);

    CreateControls();
}

CBookmarkDlg::~CBookmarkDlg() = default;

void CBookmarkDlg::CreateControls()
{
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("names"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setGeometry(40, 20, 105, 140);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        // Answered once the list has finished with the click that caused it,
        // since the answer may rebuild the list.
        if (!m_selecting)
            QMetaObject::invokeMethod(this, &CBookmarkDlg::OnSelChange, Qt::QueuedConnection);
    });

    auto *validator = new CWholeCharacters(this);
    const auto makeBox = [&](const char *name, int y) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(QRect(QPoint(220, y), kEditSize));
        box->setMaxLength(kFieldLimit);
        box->setValidator(validator);
        connect(box, &QLineEdit::textChanged, box, [box](const QString &text) {
            if (box->maxLength() > kFieldLimit && text.size() <= kFieldLimit)
                box->setMaxLength(kFieldLimit);
        });
        connect(box, &QLineEdit::returnPressed, this, &CBookmarkDlg::OnOK);
        return box;
    };
    // In the order they stand, so Tab walks down the boxes.
    m_name = makeBox("name", 28);
    m_home = makeBox("home", 58);
    m_mobile = makeBox("mobile", 88);
    m_office = makeBox("office", 118);

    const auto makeButton = [&](const char *name, const QString &text, int up, int down,
                                QPoint at) {
        auto *button = new CPictureButton(text, LoadEditorBitmap(up),
                                          down ? LoadEditorBitmap(down) : QImage(), this);
        button->setObjectName(QString::fromLatin1(name));
        button->move(at);
        return button;
    };
    auto *newButton = makeButton("new", QStringLiteral("New"), 170, 171, {34, 169});
    auto *deleteButton = makeButton("delete", QStringLiteral("Delete"), 168, 169, {92, 169});
    auto *applyButton = makeButton("apply", QStringLiteral("Apply"), 163, 164, {149, 169});
    auto *okButton = makeButton("ok", QStringLiteral("OK"), 172, 162, {206, 169});
    auto *cancelButton = makeButton("cancel", QStringLiteral("Cancel"), 166, 167, {263, 169});
    auto *closeButton = makeButton("close", QStringLiteral("Close"), 173, 0, {317, 18});

    connect(newButton, &QAbstractButton::clicked, this, &CBookmarkDlg::OnNew);
    connect(deleteButton, &QAbstractButton::clicked, this, &CBookmarkDlg::OnDelete);
    connect(applyButton, &QAbstractButton::clicked, this, &CBookmarkDlg::OnApply);
    connect(okButton, &QAbstractButton::clicked, this, &CBookmarkDlg::OnOK);
    connect(cancelButton, &QAbstractButton::clicked, this, &QDialog::reject);
    connect(closeButton, &QAbstractButton::clicked, this, &QDialog::reject);
}

void CBookmarkDlg::ShowBeside(const QPoint &mainTopLeft)
{
    // Whole on the screen of the main window, even when that stands at an edge.
    QRect place(mainTopLeft + QPoint(-50, 50), size());
    const QScreen *screen = QGuiApplication::screenAt(mainTopLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        place.moveRight(std::min(place.right(), area.right()));
        place.moveBottom(std::min(place.bottom(), area.bottom()));
        place.moveLeft(std::max(place.left(), area.left()));
        place.moveTop(std::max(place.top(), area.top()));
    }
    move(place.topLeft());
    showNormal();
    raise();
    activateWindow();
}

// ---- handlers ----

void CBookmarkDlg::showEvent(QShowEvent *event)
{
    // Only when shown by the program: a window brought back by the desktop
    // keeps what the user typed.
    if (!event->spontaneous()) {
        ReloadNameList();
        if (m_list->count() > 0) {
            SelectRow(0);
            LoadFields();
        }
    }
    QDialog::showEvent(event);
}

void CBookmarkDlg::OnSelChange()
{
    if (m_inSelChange)
        return;
    QScopedValueRollback busy(m_inSelChange, true);

    if (IsModified() && Ask(QStringLiteral("Save changes?"), QMessageBox::Yes)) {
        if (!SaveEntry()) {
            // The typed entry stays in the boxes, belonging to no name.
            QScopedValueRollback quiet(m_selecting, true);
            m_list->clearSelection();
            return;
        }
        NotifyMainWindow();
        const int row = SelectedRow();
        const QString clicked = row >= 0 ? m_list->item(row)->text() : QString();
        ReloadNameList();
        if (row >= 0) {
            for (int i = 0; i < m_list->count(); ++i) {
                if (m_list->item(i)->text() == clicked) {
                    SelectRow(i);
                    break;
                }
            }
        }
    }
    LoadFields();
}

void CBookmarkDlg::OnNew()
{
    if (IsModified() && Ask(QStringLiteral("Save changes?"), QMessageBox::Yes)) {
        if (!SaveEntry())
            return;
        NotifyMainWindow();
    }
    for (QLineEdit *box : {m_name, m_home, m_office, m_mobile})
        box->clear();
    // Nothing stays selected for a Delete to take, and typing starts at the name.
    {
        QScopedValueRollback quiet(m_selecting, true);
        m_list->clearSelection();
    }
    m_name->setFocus();
}

void CBookmarkDlg::OnDelete()
{
    const int row = SelectedRow();
    if (row < 0) {
        Tell(QStringLiteral("Choose one to delete"));
        return;
    }
    const QString name = m_list->item(row)->text();
    if (!Ask(QStringLiteral("Delete %1 from the phonebook?").arg(name), QMessageBox::No))
        return;
    if (const std::error_code error = DeleteBookmark(m_file, name.toStdString()))
        TellFailure(QStringLiteral("%1 was not deleted.").arg(name), error);
    ReloadNameList();
    if (m_list->count() > 0)
        SelectRow(0);
    LoadFields();
    NotifyMainWindow();
}

void CBookmarkDlg::OnApply()
{
    SaveEntry();
    ReloadNameList();
    NotifyMainWindow();
}

void CBookmarkDlg::OnOK()
{
    const bool saved = SaveEntry();
    ReloadNameList();
    NotifyMainWindow();
    if (saved)
        accept();
}

void CBookmarkDlg::closeEvent(QCloseEvent *event)
{
    // Closing the window hides it as OK would, but saves nothing.
    setResult(QDialog::Accepted);
    event->accept();
}

void CBookmarkDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (isMinimized()) {
        const QRect box(QPoint(0, 0), m_icon.size());
        painter.drawImage(box.translated(rect().center() - box.center()), m_icon);
        return;
    }
    painter.drawImage(0, 0, m_background);
    painter.setPen(QColor(2, 2, 2));
    const auto label = [&](int top, const char *text) {
        painter.drawText(QRect(160, top, 80, 20), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromLatin1(text));
    };
    label(30, "Name");
    label(60, "Home");
    label(90, "Mobile");
    label(120, "Office");
}

// Dragging anywhere on the background moves the dialog, as a caption would.
void CBookmarkDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        QWindow *window = windowHandle();
        if (!window || !window->startSystemMove()) {
            m_draggingByHand = true;
            m_dragOffset = event->globalPosition().toPoint() - pos();
        }
    }
    QDialog::mousePressEvent(event);
}

void CBookmarkDlg::mouseMoveEvent(QMouseEvent *event)
{
    if (m_draggingByHand && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}

void CBookmarkDlg::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_draggingByHand = false;
    QDialog::mouseReleaseEvent(event);
}

// ---- the list and the boxes ----

void CBookmarkDlg::ReloadNameList()
{
    std::vector<std::string> sections;
    m_file.GetSectionNames(sections);

    // Sorted as a list box sorts: without regard to case.
    QStringList names;
    for (const std::string &section : sections) {
        const QString name = QString::fromStdString(section);
        const auto at = std::upper_bound(names.begin(), names.end(), name,
                                         [](const QString &a, const QString &b) {
                                             return a.compare(b, Qt::CaseInsensitive) < 0;
                                         });
        names.insert(at, name);
    }

    QScopedValueRollback quiet(m_selecting, true);
    m_list->clear();
    m_list->addItems(names);
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
}

void CBookmarkDlg::SelectRow(int row)
{
    // A fresh list starts at its top, so row 0 is also the top visible item.
    QScopedValueRollback quiet(m_selecting, true);
    m_list->setCurrentRow(row);
    if (QListWidgetItem *item = m_list->item(row))
        m_list->scrollToItem(item);
}

int CBookmarkDlg::SelectedRow() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.first());
}

void CBookmarkDlg::LoadFields()
{
    const int row = SelectedRow();
    if (m_list->count() == 0 || row < 0) {
        m_keptName.clear();
        m_keptHome.clear();
        m_keptOffice.clear();
        m_keptMobile.clear();
    } else {
        m_keptName = m_list->item(row)->text().toStdString();
        m_keptHome = m_file.GetString(m_keptName.c_str(), kHome, "");
        m_keptOffice = m_file.GetString(m_keptName.c_str(), kOffice, "");
        m_keptMobile = m_file.GetString(m_keptName.c_str(), kMobile, "");
    }
    ShowText(m_name, m_keptName);
    ShowText(m_home, m_keptHome);
    ShowText(m_office, m_keptOffice);
    ShowText(m_mobile, m_keptMobile);
}

bool CBookmarkDlg::IsModified() const
{
    if (m_name->text().isEmpty())
        return false;
    return TextOf(m_name) != m_keptName || TextOf(m_home) != m_keptHome ||
           TextOf(m_office) != m_keptOffice || TextOf(m_mobile) != m_keptMobile;
}

bool CBookmarkDlg::SaveEntry()
{
    const std::string typed = TextOf(m_name);
    const std::string home = TextOf(m_home);
    const std::string office = TextOf(m_office);
    const std::string mobile = TextOf(m_mobile);
    // A blank name saves nothing and fails nothing.
    if (const std::error_code error = SaveBookmark(m_file, typed, home, office, mobile)) {
        // The kept values stay, so what was typed still counts as a change.
        TellFailure(QStringLiteral("%1 was not saved.").arg(m_name->text()), error);
        return false;
    }
    m_keptName = Trimmed(typed);
    m_keptHome = home;
    m_keptOffice = office;
    m_keptMobile = mobile;
    return true;
}

void CBookmarkDlg::NotifyMainWindow()
{
    if (m_target)
        m_target->Post(WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_BOOKMARKCHANGED);
}

bool CBookmarkDlg::Ask(const QString &question, QMessageBox::StandardButton defaultAnswer)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Vocamo"), question,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(defaultAnswer);
    return box.exec() == QMessageBox::Yes;
}

void CBookmarkDlg::Tell(const QString &message, QMessageBox::Icon icon)
{
    QMessageBox box(icon, QStringLiteral("Vocamo"), message, QMessageBox::Ok, this);
    box.exec();
}

void CBookmarkDlg::TellFailure(const QString &what, const std::error_code &error)
{
    Tell(QStringLiteral("%1\n%2: %3")
             .arg(what, QString::fromStdString(m_file.GetPathName()),
                  QString::fromStdString(error.message())),
         QMessageBox::Warning);
}

} // namespace vocamo
