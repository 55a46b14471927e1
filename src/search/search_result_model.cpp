#include "search/search_result_model.h"

#include <QDir>
#include <QThreadPool>

#include <utility>

namespace tessik {

namespace {

// Freeing a hundred thousand entries takes tens of milliseconds; the window must not wait.
constexpr qsizetype kReleaseAsideFrom = 1000;

} // namespace

SearchResultModel::SearchResultModel(QObject *parent) : QAbstractListModel(parent)
{
    // Nor should the freeing take the processor from the window, which is laying out the list
    // that replaced them just then.
    m_releaser.setThreadPriority(QThread::IdlePriority);
    m_releaser.setMaxThreadCount(1);
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_entries.text(index.row());
    if (role == Qt::SizeHintRole && m_rowSizeHint.isValid())
        return m_rowSizeHint;
    if (role == Qt::ToolTipRole)
        return QDir::toNativeSeparators(m_entries.filePath(index.row()));
    return QVariant();
}

void SearchResultModel::release(FoundEntries &&entries)
{
    if (entries.size() < kReleaseAsideFrom)
        return;
    m_releaser.start([aside = std::move(entries)]() mutable { aside = {}; });
}

void SearchResultModel::setEntries(const FoundEntries &entries)
{
    FoundEntries previous = entries;
    beginResetModel();
    std::swap(m_entries, previous);
    m_rowSizeHint = QSize();
    endResetModel();
    release(std::move(previous));
}

} // namespace tessik
