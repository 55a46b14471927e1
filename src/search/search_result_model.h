#pragma once

#include "search/found_entries.h"

#include <QAbstractListModel>
#include <QSize>
#include <QThreadPool>

namespace tessik {

// The rows of the result list, one entry each, shown by its text. Handing over a new list costs
// the same for a hundred thousand entries as for one: a row's text is made only when the view
// asks for it, as the row comes into view.
class SearchResultModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit SearchResultModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setEntries(const FoundEntries &entries);
    void clear() { setEntries({}); }
    SearchEntry entry(int row) const { return m_entries.at(row); }

    // Every row's size: that of the widest entry (see widestRows), so no row is measured on its own.
    void setRowSizeHint(const QSize &size) { m_rowSizeHint = size; }

private:
    void release(FoundEntries &&entries);

    FoundEntries m_entries;
    QSize m_rowSizeHint;
    QThreadPool m_releaser; // last, so that it has freed what it holds before the rest goes
};

} // namespace tessik
