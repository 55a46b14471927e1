#include "search/search_result_model.h"

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

void SearchResultModel::setEntries(const QList<SearchEntry> &entries)
{
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

} // namespace tessik
