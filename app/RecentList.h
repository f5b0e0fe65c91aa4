#pragma once

#include "history/CallHistory.h"

#include <QAbstractListModel>
#include <QListView>
#include <vector>

namespace vocamo {

// The calls of the history, newest first, read a page at a time as the list
// scrolls down: opening it costs one page whatever the history holds.
class CRecentModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kPage = 40;

    explicit CRecentModel(CCallHistory &history, QObject *parent = nullptr);

    // From the newest call again.
    void Reload();
    const CallRecord *At(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // The row's words: who, then the line and when.
    static QString Who(const CallRecord &call);
    static QString Detail(const CallRecord &call);

private:
    CCallHistory &m_history;
    std::vector<CallRecord> m_rows;
    bool m_complete = false;
};

// The Recent list over the phone's list area: a double click, or Enter,
// calls the row back on the line it came on.
class CRecentList : public QListView {
    Q_OBJECT
public:
    explicit CRecentList(CCallHistory &history, QWidget *parent);

    // Dressed as the contact rows: the screen's picture behind the rows, the
    // person before each, cut where the frame lies over the list area.
    // place is where the list goes in the phone; frame is the phone's frame.
    void Dress(const QRect &place, const QImage &screen, const QImage &person, const QImage &frame);

    CRecentModel &Model() { return m_model; }
    // The selected call; null without one.
    const CallRecord *Selected() const;
    void Step(int rows);

signals:
    void callBack(int line, const QString &number);

private:
    void CallBackRow(const QModelIndex &index);

    CRecentModel m_model;
};

} // namespace vocamo
