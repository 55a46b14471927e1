#include "search/search_result_model.h"

#include <QThreadPool>

namespace tessik {

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    return m_entries.at(index.row()).text;
}

namespace {

// Freeing a hundred thousand entries takes tens of milliseconds; the window must not wait.
constexpr qsizetype kReleaseAsideFrom = 1000;

void release(QList<SearchEntry> &&entries)
{
    if (entries.size() < kReleaseAsideFrom)
        return;
    QThreadPool::globalInstance()->start([aside = std::move(entries)]() mutable { aside = {}; });
}

} // namespace

void SearchResultModel::setEntries(const QList<SearchEntry> &entries)
{
    QList<SearchEntry> previous = entries;
    beginResetModel();
    m_entries.swap(previous);
    endResetModel();
    release(std::move(previous));
}

} // namespace tessik
