#pragma once

#include "search/result_entry.h"

#include <QAbstractListModel>
#include <QList>
#include <QSize>

#include <functional>

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

    // The rows whose texts look widest, widest first, at most `count` of them: each text's width
    // estimated as the sum of its characters' widths. The view measures only these and gives
    // every row the size of the widest (setRowSizeHint), rather than measuring every row.
    QList<int> widestRows(const std::function<int(QChar)> &charWidth, int count) const;
    void setRowSizeHint(const QSize &size) { m_rowSizeHint = size; }

private:
    QList<SearchEntry> m_entries;
    QSize m_rowSizeHint;
};

} // namespace tessik
