#include "app/RecentList.h"

#include <QColor>
#include <QFont>
#include <QLocale>
#include <algorithm>
#include <iterator>

namespace vocamo {

namespace {
// The skin's ink: dark text on the phone's light list, missed calls in red.
const QColor kInk(0x20, 0x20, 0x20);
const QColor kMissed(0xc8, 0x00, 0x00);
} // namespace

CRecentModel::CRecentModel(CCallHistory &history, QObject *parent)
    : QAbstractListModel(parent), m_history(history)
{
}

void CRecentModel::Reload()
{
    beginResetModel();
    m_rows = m_history.Recent(kPage, 0);
    m_complete = static_cast<int>(m_rows.size()) < kPage;
    endResetModel();
}

const CallRecord *CRecentModel::At(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? &m_rows[size_t(row)] : nullptr;
}

int CRecentModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QString CRecentModel::Who(const CallRecord &call)
{
    if (!call.name.empty())
        return QString::fromStdString(call.name);
    return call.number.empty() ? QStringLiteral("Unknown") : QString::fromStdString(call.number);
}

QString CRecentModel::Detail(const CallRecord &call)
{
    const QString line =
        call.line == LINE_SKYPE ? QStringLiteral("Skype") : QStringLiteral("Modem");
    const QDateTime start = call.start.toLocalTime();
    const QString when = start.date() == QDate::currentDate()
                             ? start.toString(QStringLiteral("HH:mm"))
                             : start.toString(QStringLiteral("d MMM HH:mm"));
    QString arrow;
    if (call.outcome == CallOutcome::Missed)
        arrow = QStringLiteral("missed");
    else
        arrow = call.direction == CallDirection::Incoming ? QStringLiteral("in")
                                                          : QStringLiteral("out");
    return QStringLiteral("%1 \u00b7 %2 \u00b7 %3").arg(line, arrow, when);
}

QVariant CRecentModel::data(const QModelIndex &index, int role) const
{
    const CallRecord *call = At(index.row());
    if (!call)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return Who(*call) + QLatin1Char('\n') + Detail(*call);
    case Qt::ToolTipRole:
        return QString::fromStdString(call->number);
    case Qt::ForegroundRole:
        return call->outcome == CallOutcome::Missed ? kMissed : kInk;
    default:
        return {};
    }
}

bool CRecentModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_complete;
}

void CRecentModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid() || m_complete)
        return;
    std::vector<CallRecord> page = m_history.Recent(kPage, static_cast<int>(m_rows.size()));
    m_complete = static_cast<int>(page.size()) < kPage;
    if (page.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(page.size()) - 1);
    m_rows.insert(m_rows.end(), std::make_move_iterator(page.begin()),
                  std::make_move_iterator(page.end()));
    endInsertRows();
}

CRecentList::CRecentList(CCallHistory &history, QWidget *parent)
    : QListView(parent), m_model(history)
{
    setModel(&m_model);
    // Every row has the same two lines: no row is measured but the first.
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The phone keeps the keys: it moves this list and calls from it.
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    setFont(font);
    setStyleSheet(QStringLiteral("QListView { background: #f4f4f0; }"
                                 "QListView::item { padding: 3px 6px; border-bottom: 1px solid "
                                 "#d8d8d0; }"
                                 "QListView::item:selected { background: #cfe0f4; }"));
    connect(this, &QListView::doubleClicked, this, &CRecentList::CallBackRow);
}

const CallRecord *CRecentList::Selected() const
{
    return m_model.At(currentIndex().row());
}

void CRecentList::Step(int rows)
{
    const int count = m_model.rowCount();
    if (count == 0)
        return;
    int row = currentIndex().isValid() ? currentIndex().row() + rows : 0;
    if (row >= count && m_model.canFetchMore(QModelIndex())) {
        m_model.fetchMore(QModelIndex());
        return Step(rows);
    }
    row = std::clamp(row, 0, m_model.rowCount() - 1);
    setCurrentIndex(m_model.index(row));
}

void CRecentList::CallBackRow(const QModelIndex &index)
{
    const CallRecord *call = m_model.At(index.row());
    if (call && !call->number.empty())
        emit callBack(call->line, QString::fromStdString(call->number));
}

} // namespace vocamo
