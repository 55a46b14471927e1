#include "app/core/file_commands.h"

#include "app/core/chosen_file.h"
#include "app/core/document.h"
#include "files/paths.h"

namespace tessik {

namespace {

const QString kDialogTitle = QStringLiteral(" Select a Root Cause Analysis");
const QString kOpenFilter = QStringLiteral("Root Cause Analysis (*.rca.xml)|*.rca.xml");
const QString kSaveFilter = QStringLiteral("KelvaneAnalysis (*.rca.xml)|*.rca.xml");

} // namespace

QString FileCommands::chooseAnalysisFile(FileDialogMode mode, const QString &filter, const QString &proposedName)
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

QString FileCommands::chooseToOpen()
{
    return chooseAnalysisFile(FileDialogMode::Open, kOpenFilter, m_dialogFileName);
}

bool FileCommands::open(const QString &path, const ReadOutcome &read, const std::function<void()> &opened)
{
    const ReadOutcome outcome = m_document.open(path, read);
    if (!outcome.ok) {
        m_platform.showMessage(readFailureMessage(path, outcome.reason), MessageButtons::Ok);
        return false;
    }
    if (opened)
        opened();
    if (!outcome.repairs.isEmpty())
        m_platform.showMessage(repairMessage(path, outcome.repairs), MessageButtons::Ok);
    return true;
}

bool FileCommands::load(const QString &path)
{
    if (!open(path, readAnalysisFile(path)))
        return false;
    m_document.setLastFolder(FindPath(path));
    return true;
}

bool FileCommands::saveAllowed(SaveCommand command)
{
    const QString refusal = m_document.saveRefusal(command);
    if (!refusal.isEmpty())
        m_platform.showMessage(refusal, MessageButtons::Ok);
    return refusal.isEmpty();
}

void FileCommands::saveTo(const QString &path)
{
    // A refusal, a No or a failed write changes nothing: the old file is intact and the edits stay.
    if (const QString question = m_document.overwriteQuestion(path);
        !question.isEmpty() &&
        m_platform.showMessage(question, MessageButtons::YesNo, MessageAnswer::No) != MessageAnswer::Yes)
        return;
    if (const IoResult saved = m_document.save(path); !saved.ok)
        m_platform.showMessage(saved.reason, MessageButtons::Ok);
}

void FileCommands::save()
{
    if (!saveAllowed(SaveCommand::Save))
        return;
    if (m_document.currentFile().isEmpty())
        saveAs();
    else
        saveTo(m_document.currentFile());
}

void FileCommands::saveAs()
{
    if (!saveAllowed(SaveCommand::SaveAs))
        return;
    const Analysis &analysis = m_document.analysis();
    const QString path =
        chooseAnalysisFile(FileDialogMode::Save, kSaveFilter, proposedFileName(analysis.description, analysis.email));
    if (!path.isEmpty())
        saveTo(path);
}

} // namespace tessik
