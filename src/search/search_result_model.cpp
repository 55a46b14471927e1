#include "search/search_result_model.h"

#include "files/codepage.h"

#include <QDir>
#include <QThreadPool>

#include <algorithm>
#include <vector>

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
        return m_entries.text(index.row());
    if (role == Qt::SizeHintRole && m_rowSizeHint.isValid())
        return m_rowSizeHint;
    if (role == Qt::ToolTipRole)
        return QDir::toNativeSeparators(m_entries.filePath(index.row()));
    return QVariant();
}

QList<int> SearchResultModel::widestRows(const std::function<int(QChar)> &charWidth, int count) const
{
    // Entries share most of their characters (the gap of blanks above all), so each character
    // of the code page is measured once.
    std::vector<int> byteWidths(256);
    for (const unsigned char byte : everyByte())
        byteWidths[byte] = charWidth(QChar(charFrom1252(byte)));
    std::vector<std::pair<qint64, int>> estimates;
    estimates.reserve(size_t(m_entries.size()));
    for (qsizetype row = 0; row < m_entries.size(); ++row)
        estimates.push_back({m_entries.estimatedWidth(row, byteWidths, charWidth), int(row)});
    const auto kept = estimates.begin() + std::min<qsizetype>(count, qsizetype(estimates.size()));
    std::partial_sort(estimates.begin(), kept, estimates.end(),
                      [](const auto &a, const auto &b) { return a.first > b.first; });
    QList<int> rows;
    for (auto it = estimates.begin(); it != kept; ++it)
        rows << it->second;
    return rows;
}

namespace {

// Freeing a hundred thousand entries takes tens of milliseconds; the window must not wait.
constexpr qsizetype kReleaseAsideFrom = 1000;

void release(FoundEntries &&entries)
{
    if (entries.size() < kReleaseAsideFrom)
        return;
    QThreadPool::globalInstance()->start([aside = std::move(entries)]() mutable { aside = {}; });
}

} // namespace

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
