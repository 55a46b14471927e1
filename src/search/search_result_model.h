#pragma once

#include "search/result_entry.h"

#include <QAbstractListModel>
#include <QList>
#include <QSize>

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

    // The row whose text has the most characters, -1 when there is none: the view measures it
    // once and gives every row its size (setRowSizeHint), rather than measuring every row.
    int longestRow() const { return m_longestRow; }
    void setRowSizeHint(const QSize &size) { m_rowSizeHint = size; }

private:
    QList<SearchEntry> m_entries;
    int m_longestRow = -1;
    QSize m_rowSizeHint;
};

} // namespace tessik
