#include "app/ui/frm_kelvane.h"

#include "app/core/chosen_file.h"
#include "files/analysis_reader.h"
#include "files/paths.h"
#include "files/save_rules.h"

// Analyses on disk: Load, Save and Save As, and opening a file into the window.
namespace tessik {

namespace {

const QString kDialogTitle = QStringLiteral(" Select a Root Cause Analysis");
const QString kOpenFilter = QStringLiteral("Root Cause Analysis (*.rca.xml)|*.rca.xml");
const QString kSaveFilter = QStringLiteral("KelvaneAnalysis (*.rca.xml)|*.rca.xml");

} // namespace

QString frmKelvane::chooseAnalysisFile(FileDialogMode mode, const QString &filter, const QString &proposedName)
{
    const QString chosen = chooseFileWithEnding(m_platform, {mode, filter, kDialogTitle, proposedName, m_dialogFolder});
    if (chosen.isEmpty())
        return chosen;
    // The dialog leaves the program in the chosen file's folder (a snapshot lands there), keeps
    // the name it showed for next time, and opens there again.
    m_dialogFolder = FindPath(chosen);
    m_dialogFileName = chosen.mid(m_dialogFolder.size());
    m_platform.setCurrentFolder(m_dialogFolder);
    return chosen;
}

bool frmKelvane::openAnalysis(const QString &path, const QString &keyWord)
{
    return openAnalysis(path, readAnalysisFile(path), keyWord);
}

// The file was read aside first: the analysis on screen is replaced only by a good read.
bool frmKelvane::openAnalysis(const QString &path, const ReadOutcome &read, const QString &keyWord)
{
    const ReadOutcome outcome = m_document.open(path, read);
    if (!outcome.ok) {
        m_platform.showMessage(readFailureMessage(path, outcome.reason), MessageButtons::Ok);
        return false;
    }
    if (!keyWord.isEmpty())
        PlotDiagram(keyWord);
    if (!outcome.repairs.isEmpty())
        m_platform.showMessage(repairMessage(path, outcome.repairs), MessageButtons::Ok);
    return true;
}

void frmKelvane::btnLoadXML_Click()
{
    if (!Confirm())
        return;
    const QString path = chooseAnalysisFile(FileDialogMode::Open, kOpenFilter, m_dialogFileName);
    if (!path.isEmpty())
        loadFile(path);
}

void frmKelvane::loadFile(const QString &path)
{
    if (openAnalysis(path, QString()))
        m_document.setLastFolder(FindPath(path));
}

bool frmKelvane::saveAnalysisTo(const QString &path)
{
    // A refusal, a No or a failed write changes nothing: the old file is intact and the edits stay.
    if (const QString question = m_document.overwriteQuestion(path);
        !question.isEmpty() &&
        m_platform.showMessage(question, MessageButtons::YesNo, MessageAnswer::No) != MessageAnswer::Yes)
        return false;
    const IoResult saved = m_document.save(path);
    if (!saved.ok)
        m_platform.showMessage(saved.reason, MessageButtons::Ok);
    return saved.ok;
}

bool frmKelvane::saveAllowed(SaveCommand command)
{
    const QString refusal = m_document.saveRefusal(command);
    if (!refusal.isEmpty())
        m_platform.showMessage(refusal, MessageButtons::Ok);
    return refusal.isEmpty();
}

void frmKelvane::btnSave_Click()
{
    leaveEditor(); // what is typed in the open editor belongs in the file too
    if (!saveAllowed(SaveCommand::Save))
        return;
    if (m_document.currentFile().isEmpty()) {
        btnSaveAs_Click();
        return;
    }
    saveAnalysisTo(m_document.currentFile());
}

void frmKelvane::btnSaveAs_Click()
{
    if (!saveAllowed(SaveCommand::SaveAs))
        return;
    const QString path =
        chooseAnalysisFile(FileDialogMode::Save, kSaveFilter,
                           proposedFileName(m_document.analysis().description, m_document.analysis().email));
    if (!path.isEmpty())
        saveAnalysisTo(path);
}

} // namespace tessik
