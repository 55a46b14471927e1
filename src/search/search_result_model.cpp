#include "search/search_result_model.h"

#include <QThreadPool>

namespace tessik {

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_entries.at(index.row()).text;
    if (role == Qt::SizeHintRole && m_rowSizeHint.isValid())
        return m_rowSizeHint;
    return QVariant();
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
    m_rowSizeHint = QSize();
    m_longestRow = -1;
    for (qsizetype row = 0; row < m_entries.size(); ++row)
        if (m_longestRow < 0 || m_entries[row].text.size() > m_entries[m_longestRow].text.size())
            m_longestRow = int(row);
    endResetModel();
    release(std::move(previous));
}

} // namespace tessik
