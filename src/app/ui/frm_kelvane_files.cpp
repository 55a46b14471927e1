#include "app/ui/frm_kelvane.h"

#include "app/core/window_title.h"
#include "files/analysis_reader.h"
#include "files/analysis_writer.h"
#include "files/paths.h"
#include "files/round_trip_check.h"
#include "files/save_rules.h"

#include <QLineEdit>

// Analyses on disk: Load, Save and Save As, and opening a file into the window.
namespace tessik {

namespace {

const QString kDialogTitle = QStringLiteral(" Select a Root Cause Analysis");
const QString kOpenFilter = QStringLiteral("Root Cause Analysis (*.rca.xml)|*.rca.xml");
const QString kSaveFilter = QStringLiteral("KelvaneAnalysis (*.rca.xml)|*.rca.xml");

} // namespace

QString frmKelvane::chooseAnalysisFile(FileDialogMode mode, const QString &filter, const QString &proposedName)
{
    const QString chosen = m_platform.chooseFile({mode, filter, kDialogTitle, proposedName, m_dialogFolder});
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
bool frmKelvane::openAnalysis(const QString &path, const ReadOutcome &outcome, const QString &keyWord)
{
    if (!outcome.ok) {
        m_platform.showMessage(readFailureMessage(path, outcome.reason), MessageButtons::Ok);
        return false;
    }
    CurrentFile = path;
    txtDescription->setText(outcome.analysis.description);
    txtemail->setText(outcome.analysis.email);
    txtOffice->setText(outcome.analysis.office);
    m_table = outcome.analysis.table;
    PlotDiagram(keyWord);
    Unsaved = false;
    setWindowTitle(WindowTitle::afterLoad(CurrentFile));
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
        LastFolder = FindPath(CurrentFile);
}

bool frmKelvane::saveAnalysisTo(const QString &path)
{
    const Analysis analysis{txtDescription->text(), txtemail->text(), txtOffice->text(), m_table};
    if (const QString refusal = unkeepableTextMessage(analysis); !refusal.isEmpty()) {
        m_platform.showMessage(refusal, MessageButtons::Ok);
        return false;
    }
    const IoResult written = saveAnalysisFile(path, analysis);
    if (!written.ok) {
        // Nothing changes: the old file is intact and the document still has its edits.
        m_platform.showMessage(saveFailureMessage(path, written.reason), MessageButtons::Ok);
        return false;
    }
    CurrentFile = path;
    Unsaved = false;
    setWindowTitle(WindowTitle::afterSave(CurrentFile));
    LastFolder = FindPath(CurrentFile);
    return true;
}

bool frmKelvane::saveAllowed(SaveCommand command)
{
    const QString refusal = saveValidationMessage(txtDescription->text(), txtOffice->text(), command);
    if (!refusal.isEmpty())
        m_platform.showMessage(refusal, MessageButtons::Ok);
    return refusal.isEmpty();
}

void frmKelvane::btnSave_Click()
{
    if (!saveAllowed(SaveCommand::Save))
        return;
    if (CurrentFile.isEmpty()) {
        btnSaveAs_Click();
        return;
    }
    saveAnalysisTo(CurrentFile);
}

void frmKelvane::btnSaveAs_Click()
{
    if (!saveAllowed(SaveCommand::SaveAs))
        return;
    const QString path = chooseAnalysisFile(FileDialogMode::Save, kSaveFilter,
                                            proposedFileName(txtDescription->text(), txtemail->text()));
    if (!path.isEmpty())
        saveAnalysisTo(path);
}

} // namespace tessik
