#include "app/ui/frm_kelvane.h"

#include "search/search_job.h"
#include "search/search_result_model.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

// The search panel: find the analyses of the last folder that hold a phrase and open them. The
// search runs on other threads; the panel shows its progress and the button cancels it.
namespace tessik {

namespace {

// Every row takes the size of the longest entry, measured once: no entry is cut, and a hundred
// thousand rows are laid out without measuring each.
void fitRowsToLongestEntry(QListView *list, SearchResultModel *results)
{
    const int row = results->longestRow();
    if (row >= 0)
        results->setRowSizeHint(list->sizeHintForIndex(results->index(row)));
}

} // namespace

void frmKelvane::connectSearchPanel()
{
    m_results = new SearchResultModel(this);
    m_search = new SearchJob(this);
    connect(m_search, &SearchJob::progressed, this, &frmKelvane::searchProgressed);
    connect(m_search, &SearchJob::finished, this, &frmKelvane::searchFinished);
    connect(btnAnalyze, &QPushButton::clicked, this, &frmKelvane::btnAnalyze_Click);
}

void frmKelvane::ensureSearchPanel()
{
    if (txtKeyWord)
        return;
    buildSearchPanel();
    lstFileNames->setModel(m_results);
    connect(btnAnalysisDone, &QPushButton::clicked, this, &frmKelvane::btnAnalysisDone_Click);
    connect(btnSearch, &QPushButton::clicked, this, &frmKelvane::btnSearch_Click);
    txtKeyWord->installEventFilter(this);
    connect(lstFileNames, &QListView::clicked, this,
            [this](const QModelIndex &index) { lstFileNames_Click(index.row()); });
    describeSearchKeys();
}

bool frmKelvane::searchRunning() const
{
    return m_search->isRunning();
}

void frmKelvane::btnAnalyze_Click()
{
    ensureSearchPanel();
    showPanel(frameAnalyze);
    m_results->clear();
    lblSearchStatus->clear();
    txtKeyWord->clear();
    txtKeyWord->setFocus();
}

void frmKelvane::btnAnalysisDone_Click()
{
    cancelSearch();
    showPanel(frameControl);
}

void frmKelvane::escapeInSearchPanel()
{
    if (searchRunning())
        cancelSearch();
    else
        btnAnalysisDone_Click();
}

// Enter always searches for the phrase in the box, replacing a search still running.
bool frmKelvane::txtKeyWord_KeyPress(int KeyAscii)
{
    if (KeyAscii != kEnterKeyCode)
        return false;
    startSearch();
    return true;
}

// While a search runs the button is its Cancel button.
void frmKelvane::btnSearch_Click()
{
    if (searchRunning())
        cancelSearch();
    else
        startSearch();
}

void frmKelvane::startSearch()
{
    const QString phrase = txtKeyWord->text();
    if (phrase.isEmpty())
        return;
    // The list and the status line keep what they show until the new outcome replaces them.
    m_search->start(m_document.lastFolder(), phrase);
    showSearchRunning(true);
}

void frmKelvane::cancelSearch()
{
    m_search->cancel();
    if (btnSearch)
        showSearchRunning(false);
}

void frmKelvane::showSearchRunning(bool running)
{
    btnSearch->setText(running ? QStringLiteral("Cancel") : QStringLiteral("Search"));
    prgSearch->setVisible(running);
}

void frmKelvane::searchProgressed(int filesRead, int filesListed)
{
    // While the folder is being listed the bar only shows that something is happening.
    prgSearch->setRange(0, std::max(filesListed, 0));
    prgSearch->setValue(filesRead);
}

void frmKelvane::searchFinished(const SearchOutcome &outcome)
{
    m_results->setEntries(outcome.entries);
    fitRowsToLongestEntry(lstFileNames, m_results);
    lblSearchStatus->setText(outcome.statusText());
    showSearchRunning(false);
}

void frmKelvane::lstFileNames_Click(int row)
{
    if (row < 0 || row >= m_results->rowCount())
        return;
    // Taken before Confirm: a search that ends while the question is asked replaces the list.
    const SearchEntry entry = m_results->entry(row);
    if (!Confirm())
        return;
    // The entry keeps its own file: brackets in a name, a capital ending or a name the system's
    // encoding cannot show do not mislead it.
    openAnalysis(entry.filePath, readEntryAnalysis(entry), txtKeyWord->text());
}

} // namespace tessik
