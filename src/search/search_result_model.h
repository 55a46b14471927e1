#pragma once

#include "search/result_entry.h"

#include <QAbstractListModel>
#include <QList>

namespace tessik {

// The rows of the result list, one entry each, shown by its text. Handing over a new list costs
// the same for a hundred thousand entries as for one: rows are only read as they come into view.
class SearchResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setEntries(const QList<SearchEntry> &entries);
    void clear() { setEntries({}); }
    const SearchEntry &entry(int row) const { return m_entries.at(row); }

private:
    QList<SearchEntry> m_entries;
};

} // namespace tessik
