#include "app/RecentList.h"

#include "skin/SkinText.h"

#include <QBitmap>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <iterator>

namespace vocamo {

namespace {
// The skin's ink: dark text on the phone's light list, missed calls in red.
const QColor kInk = QColor::fromRgba(kDarkTextColour);
const QColor kMissed(0xc8, 0x00, 0x00);
// As a contact row: the person 22 pixels in, the name beside it; rows 5
// pixels apart. An unselected row is drawn at the skin's dimmed opacity.
constexpr int kPersonX = 22;
constexpr int kRowGap = 5;
constexpr int kFirstRowY = 19; // below the list area's top, as the first contact row
constexpr qreal kDimmed = 100 / 255.0;

// Paints a row as the skin paints a contact row, with the call's line and
// time under the name.
class CRecentRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QImage person;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        const int lines = QFontMetrics(option.font).height() + QFontMetrics(Small(option)).height();
        return {option.rect.width(), std::max(lines, person.height()) + kRowGap};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        painter->setOpacity(option.state & QStyle::State_Selected ? 1.0 : kDimmed);
        const QRect &r = option.rect;
        painter->drawImage(r.left() + kPersonX, r.top(), person);
        const int x = r.left() + kPersonX + person.width();
        const int width = r.right() - x - 4;
        const QStringList lines = index.data(Qt::DisplayRole).toString().split(QLatin1Char('\n'));
        painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
        const QFont small = Small(option);
        const QFontMetrics big(option.font);
        painter->setFont(option.font);
        painter->drawText(x, r.top() + big.ascent(),
                          big.elidedText(lines.value(0), Qt::ElideRight, width));
        painter->setFont(small);
        painter->drawText(x, r.top() + big.height() + QFontMetrics(small).ascent(),
                          QFontMetrics(small).elidedText(lines.value(1), Qt::ElideRight, width));
        painter->restore();
    }

private:
    static QFont Small(const QStyleOptionViewItem &option)
    {
        QFont font = option.font;
        font.setPointSizeF(font.pointSizeF() * 0.8);
        return font;
    }
};
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
    // The contact lists have no scroll bar either: the wheel and the keys move it.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new CRecentRowDelegate(this));
    // The screen's picture is painted once behind the margin and the rows alike.
    setViewportMargins(0, kFirstRowY, 0, 0);
    setAutoFillBackground(true);
    viewport()->setAutoFillBackground(false);
    connect(this, &QListView::doubleClicked, this, &CRecentList::CallBackRow);
}

void CRecentList::Dress(const QRect &place, const QImage &screen, const QImage &person,
                        const QImage &frame)
{
    setGeometry(place);
    // The skin's text is laid out at 96 dots per inch, whatever the screen's.
    QFont font = SkinFont(false);
    font.setPointSizeF(font.pointSizeF() * 96.0 / logicalDpiY());
    setFont(font);
    static_cast<CRecentRowDelegate *>(itemDelegate())->person = person;
    QPalette colours = palette();
    colours.setBrush(QPalette::Window, QBrush(screen));
    setPalette(colours);
    // Shown only where the frame leaves the list area open.
    const QImage over = frame.copy(place);
    setMask(QRegion(rect()).subtracted(QRegion(QBitmap::fromImage(over.createAlphaMask()))));
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
