#pragma once

#include "search/found_entries.h"

#include <QAbstractListModel>
#include <QList>
#include <QSize>

#include <functional>

namespace tessik {

// The rows of the result list, one entry each, shown by its text. Handing over a new list costs
// the same for a hundred thousand entries as for one: a row's text is made only when the view
// asks for it, as the row comes into view.
class SearchResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setEntries(const FoundEntries &entries);
    void clear() { setEntries({}); }
    SearchEntry entry(int row) const { return m_entries.at(row); }

    // The rows whose texts look widest, widest first, at most `count` of them: each text's width
    // estimated as the sum of its characters' widths. The view measures only these and gives
    // every row the size of the widest (setRowSizeHint), rather than measuring every row.
    QList<int> widestRows(const std::function<int(QChar)> &charWidth, int count) const;
    void setRowSizeHint(const QSize &size) { m_rowSizeHint = size; }

private:
    FoundEntries m_entries;
    QSize m_rowSizeHint;
};

} // namespace tessik
