#include "app/ui/frm_kelvane.h"

#include "search/phrase_search.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

// The search panel: find the analyses of the last folder that hold a phrase and open them.
namespace tessik {

void frmKelvane::btnAnalyze_Click()
{
    showPanel(frameAnalyze);
    lstFileNames->clear();
    m_searchEntries.clear();
    lblSearchStatus->clear();
    txtKeyWord->clear();
    txtKeyWord->setFocus();
}

void frmKelvane::btnAnalysisDone_Click()
{
    showPanel(frameControl);
}

bool frmKelvane::txtKeyWord_KeyPress(int KeyAscii)
{
    if (KeyAscii != kEnterKeyCode)
        return false;
    btnSearch_Click();
    return true;
}

void frmKelvane::btnSearch_Click()
{
    const QString phrase = txtKeyWord->text();
    if (phrase.isEmpty())
        return;
    lstFileNames->clear();
    const SearchOutcome outcome = searchFolder(m_document.lastFolder(), phrase);
    m_searchEntries = outcome.entries;
    for (const SearchEntry &entry : m_searchEntries)
        lstFileNames->addItem(entry.text);
    lblSearchStatus->setText(outcome.statusText());
}

void frmKelvane::lstFileNames_Click(int row)
{
    if (row < 0 || row >= m_searchEntries.size() || !Confirm())
        return;
    // The entry keeps its own file, so brackets in a name or a capital ending cannot mislead it.
    openAnalysis(m_searchEntries[row].filePath, txtKeyWord->text());
}

} // namespace tessik
