#include "app/ui/search_panel.h"

#include "app/ui/controls.h"
#include "render/fonts.h"
#include "search/search_job.h"
#include "search/search_result_model.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace tessik {

using namespace controls;

SearchPanel::SearchPanel(QWidget *parent)
    : QFrame(parent), m_results(new SearchResultModel(this)), m_job(new SearchJob(this))
{
    makePanel(this, "frameAnalyze", 8, 133, QStringLiteral("Search"));
    connect(m_job, &SearchJob::progressed, this, &SearchPanel::showProgress);
    connect(m_job, &SearchJob::finished, this, &SearchPanel::showOutcome);
}

void SearchPanel::build()
{
    if (isBuilt())
        return;
    QLabel *phrase = label(this, "Label3", QStringLiteral("Phrase:"), 8, 20, 33, 13);
    m_phrase = lineBox(this, "txtKeyWord", 48, 16, 173, 21);
    nameAfter(m_phrase, phrase);
    fontOnFirstShow(m_phrase, arialFont(12, true));
    m_search = button(this, "btnSearch", QStringLiteral("Search"), 96, 60, 73, 29);
    m_list = place<QListView>(this, "lstFileNames", 244, 12, 325, 116);
    m_list->setFont(arialFont(11, false));
    // All rows have one size, that of the widest entry, so that no entry is cut and a hundred
    // thousand rows are laid out without measuring each.
    m_list->setUniformItemSizes(true);
    m_list->setTextElideMode(Qt::ElideNone);
    m_list->setModel(m_results);
    m_list->setAccessibleName(QStringLiteral("Analyses found"));
    m_list->setAccessibleDescription(QStringLiteral("Choose one to open it"));
    m_done = button(this, "btnAnalysisDone", QStringLiteral("Done"), 596, 12, 73, 29);
    // Files read of files listed, shown while a search runs, between the phrase and the button.
    m_progress = place<QProgressBar>(this, "prgSearch", 8, 40, 230, 17);
    m_progress->setFormat(QStringLiteral("%v of %m files read"));
    m_progress->setFont(arialFont(9, false));
    m_progress->setVisible(false);
    m_progress->setAccessibleName(QStringLiteral("Files read"));
    // Says what the search could not read; empty when all went well.
    m_status = label(this, "lblSearchStatus", QString(), 8, 92, 230, 36);
    m_status->setWordWrap(true);
    m_status->setAccessibleDescription(QStringLiteral("Search status"));

    connect(m_done, &QPushButton::clicked, this, &SearchPanel::close);
    connect(m_search, &QPushButton::clicked, this, &SearchPanel::searchOrCancel);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex &index) { chooseRow(index.row()); });
    m_phrase->installEventFilter(this);
    const QString esc = QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText);
    m_done->setToolTip(QStringLiteral("%1 (%2)").arg(m_done->text(), esc));
    m_search->setToolTip(QStringLiteral("%1 (Enter in the Phrase box)").arg(m_search->text()));
}

void SearchPanel::open(const QString &folder)
{
    build();
    m_folder = folder;
    m_results->clear();
    m_status->clear();
    m_phrase->clear();
    m_phrase->setFocus();
}

void SearchPanel::close()
{
    cancelSearch();
    Q_EMIT closed();
}

void SearchPanel::escape()
{
    if (isSearching())
        cancelSearch();
    else
        close();
}

bool SearchPanel::isSearching() const
{
    return m_job->isRunning();
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Enter always searches for the phrase in the box, replacing a search still running; the key
    // is swallowed, so nothing is inserted.
    if (watched == m_phrase && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            startSearch();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

// While a search runs the button is its Cancel button.
void SearchPanel::searchOrCancel()
{
    if (isSearching())
        cancelSearch();
    else
        startSearch();
}

void SearchPanel::startSearch()
{
    const QString phrase = m_phrase->text();
    if (phrase.isEmpty())
        return;
    // The list and the status line keep what they show until the new outcome replaces them.
    m_job->start(m_folder, phrase, m_list->font());
    showSearching(true);
}

void SearchPanel::cancelSearch()
{
    m_job->cancel();
    if (m_search)
        showSearching(false);
}

void SearchPanel::showSearching(bool searching)
{
    m_search->setText(searching ? QStringLiteral("Cancel") : QStringLiteral("Search"));
    m_progress->setVisible(searching);
}

void SearchPanel::showProgress(int filesRead, int filesListed)
{
    // While the folder is being listed the bar only shows that something is happening.
    m_progress->setRange(0, std::max(filesListed, 0));
    m_progress->setValue(filesRead);
}

void SearchPanel::showOutcome(const SearchOutcome &outcome)
{
    m_results->setEntries(outcome.entries);
    fitRowsToWidestEntry(outcome.widestRows);
    m_status->setText(outcome.statusText());
    showSearching(false);
}

void SearchPanel::fitRowsToWidestEntry(const QList<int> &candidates)
{
    // Shaping every entry would take seconds for a large folder. The search has estimated the
    // width of each from its characters' own widths; only the few that look widest are measured.
    if (candidates.isEmpty())
        return;
    QSize widest;
    for (const int row : candidates)
        widest = widest.expandedTo(m_list->sizeHintForIndex(m_results->index(row)));
    // The estimate leaves out kerning; a character's room more keeps a near miss whole.
    widest.rwidth() += m_list->fontMetrics().averageCharWidth();
    m_results->setRowSizeHint(widest);
}

void SearchPanel::chooseRow(int row)
{
    if (row < 0 || row >= m_results->rowCount())
        return;
    // A copy: a search that ends while the window asks about unsaved edits replaces the list.
    const SearchEntry entry = m_results->entry(row);
    Q_EMIT entryChosen(entry, m_phrase->text());
}

} // namespace tessik
