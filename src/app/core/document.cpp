#include "app/core/document.h"

#include "app/core/recovery_copies.h"
#include "app/core/window_title.h"
#include "files/analysis_writer.h"
#include "files/file_stamp.h"
#include "files/paths.h"
#include "files/round_trip_check.h"

namespace tessik {

namespace {

// A copy is written at most this long after the first change since the last one was written.
constexpr int kRecoveryDelayMs = 1500;

} // namespace

Document::Document(QObject *parent) : QObject(parent), m_title(WindowTitle::kProgram), m_cleanTitle(m_title)
{
    m_recoveryDue.setSingleShot(true);
    m_recoveryDue.setInterval(kRecoveryDelayMs);
    connect(&m_recoveryDue, &QTimer::timeout, this, &Document::writeRecoveryCopyNow);
}

Document::~Document() = default;

QString Document::header(HeaderField field) const
{
    return headerText(m_analysis, field);
}

void Document::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    Q_EMIT titleChanged(m_title);
}

void Document::replaceAnalysis(const Analysis &analysis, const QString &file, const QString &cleanTitle)
{
    m_analysis = analysis;
    m_currentFile = file;
    m_fileStamp = FileStamp();
    m_typing = Typing();
    m_history.clear();
    m_modified = false;
    m_cleanTitle = cleanTitle;
    setTitle(cleanTitle);
    Q_EMIT headerChanged();
    Q_EMIT tableChanged();
}

void Document::newAnalysis()
{
    // The slots above the used range keep their leftovers, as the table always lets them.
    Analysis fresh;
    fresh.table = m_analysis.table;
    fresh.table.clear();
    fresh.table.addBlock(kHalfBox, kHalfBox);
    replaceAnalysis(fresh, QString(), WindowTitle::kProgram);
    discardRecoveryCopy();
}

ReadOutcome Document::open(const QString &path)
{
    return open(path, readAnalysisFile(path));
}

ReadOutcome Document::open(const QString &path, const ReadOutcome &outcome)
{
    if (!outcome.ok)
        return outcome;
    replaceAnalysis(outcome.analysis, path, WindowTitle::afterLoad(shownFileName(path)));
    m_fileStamp = outcome.stamp;
    discardRecoveryCopy();
    return outcome;
}

QString Document::saveRefusal(SaveCommand command) const
{
    const QString refusal = saveValidationMessage(m_analysis.description, m_analysis.office, command);
    return refusal.isEmpty() ? unkeepableTextMessage(m_analysis) : refusal;
}

IoResult Document::save(const QString &path)
{
    if (const QString refusal = unkeepableTextMessage(m_analysis); !refusal.isEmpty())
        return IoResult::failure(refusal);
    const QByteArray bytes = writeAnalysis(m_analysis);
    const IoResult written = writeFileSafely(path, bytes);
    if (!written.ok)
        return IoResult::failure(saveFailureMessage(path, written.reason));
    m_currentFile = path;
    m_fileStamp = FileStamp::of(bytes);
    m_lastFolder = FindPath(path);
    m_history.setClean();
    m_modified = false;
    m_cleanTitle = WindowTitle::afterSave(titleName());
    setTitle(m_cleanTitle);
    // Typing the editor still holds is not in the file: its copy stays.
    if (typingDiffers())
        scheduleRecoveryCopy();
    else
        discardRecoveryCopy();
    return IoResult::success();
}

QString Document::overwriteQuestion(const QString &path) const
{
    if (path != m_currentFile || !changedSince(path, m_fileStamp))
        return QString();
    return changedFileQuestion(path);
}

void Document::edited(EditKind kind)
{
    m_modified = true;
    if (kind == EditKind::Header) {
        setTitle(WindowTitle::afterHeaderEdit(m_title));
        Q_EMIT headerChanged();
    } else {
        setTitle(WindowTitle::afterDiagramEdit(titleName()));
        Q_EMIT tableChanged();
    }
    scheduleRecoveryCopy();
}

void Document::scheduleRecoveryCopy()
{
    if (m_recovery && !m_recoveryDue.isActive())
        m_recoveryDue.start();
}

void Document::push(std::unique_ptr<QUndoCommand> step)
{
    m_history.push(step.release()); // doing the step marks the document
}

void Document::settleAfterHistoryStep()
{
    // Back exactly at the state last loaded or saved, the analysis no longer differs from its file.
    if (!m_history.isClean())
        return;
    m_modified = false;
    setTitle(m_cleanTitle);
}

void Document::undo()
{
    if (!m_history.canUndo())
        return;
    m_history.undo();
    settleAfterHistoryStep();
}

void Document::redo()
{
    if (!m_history.canRedo())
        return;
    m_history.redo();
    settleAfterHistoryStep();
}

int Document::addBlock(float x, float y)
{
    // The table's own rule picks the slot and fills it; the step keeps that slot before and after.
    BlockTable after = table();
    const int id = after.addBlock(x, y);
    if (id == 0)
        return 0;
    push(slotStep(*this, {id, table().block(id), after.block(id), table().usedSlots(), after.usedSlots(), {}}));
    return id;
}

int Document::addCause(float x, float y, int parent)
{
    if (BlockTable(table()).addBlock(x, y) == 0)
        return 0; // full: no empty step in the history
    m_history.beginMacro(QStringLiteral("add a cause"));
    const int id = addBlock(x, y);
    linkBlocks(id, parent);
    m_history.endMacro();
    return id;
}

void Document::deleteBlock(int id)
{
    if (!table().isLive(id))
        return;
    BlockTable after = table();
    after.freeSlot(id);
    push(slotStep(*this, {id, table().block(id), after.block(id), table().usedSlots(), table().usedSlots(),
                          table().children(id)}));
}

void Document::changeBlock(int id, const Block &after)
{
    // A slot that has gone since the gesture began stores nothing; the gesture still marks the document.
    if (!table().isLive(id) || table().block(id) == after)
        edited(EditKind::Diagram);
    else
        push(blockStep(*this, id, after));
}

void Document::commitBlock(int id, const QString &caption, const QString &notes)
{
    Block after = table().block(id);
    after.caption = caption;
    after.notes = notes;
    changeBlock(id, after);
}

void Document::setCategory(int id, const QString &category)
{
    Block after = table().block(id);
    after.category = category;
    changeBlock(id, after);
}

void Document::setNotes(int id, const QString &notes)
{
    Block after = table().block(id);
    after.notes = notes;
    changeBlock(id, after);
}

void Document::moveBlocks(const std::vector<BlockPlace> &places)
{
    std::vector<BlockPlace> real;
    for (const BlockPlace &place : places)
        if (place.id >= 1 && place.id <= kMaxBlocks &&
            (table().block(place.id).x != place.x || table().block(place.id).y != place.y))
            real.push_back(place);
    if (real.empty())
        edited(EditKind::Diagram);
    else
        push(moveStep(*this, real));
}

void Document::linkBlocks(int child, int parent)
{
    if (child < 1 || child > kMaxBlocks)
        return;
    Block after = table().block(child);
    after.parent = std::int16_t(parent);
    if (table().block(child) == after)
        edited(EditKind::Diagram);
    else
        push(blockStep(*this, child, after));
}

void Document::setHeader(HeaderField field, const QString &text)
{
    if (header(field) != text)
        push(headerStep(*this, field, text));
}

void Document::keepRecoveryCopies(const QString &userFolder)
{
    m_recovery = std::make_unique<RecoveryCopies>(userFolder);
    // The report comes from the writing thread; the document hears of it on its own.
    m_recovery->setWriteReport([this](const IoResult &written) {
        QMetaObject::invokeMethod(
            this, [this, written] { recoveryCopyWritten(written); }, Qt::QueuedConnection);
    });
}

void Document::recoveryCopyWritten(const IoResult &written)
{
    // Said once, not after every edit; said again only when it fails anew after working.
    if (written.ok || m_recoveryFailureTold) {
        m_recoveryFailureTold = !written.ok;
        return;
    }
    m_recoveryFailureTold = true;
    Q_EMIT recoveryCopyFailed(recoveryWriteFailureMessage(m_recovery->copyPath(), written.reason));
}

QString Document::titleName() const
{
    return shownFileName(m_currentFile);
}

void Document::setEditorTyping(int id, const QString &caption, const QString &notes)
{
    if (id == m_typing.id && caption == m_typing.caption && notes == m_typing.notes)
        return;
    m_typing = {id, caption, notes};
    scheduleRecoveryCopy();
}

void Document::clearEditorTyping()
{
    if (m_typing.id == 0)
        return;
    m_typing = Typing();
    scheduleRecoveryCopy();
}

bool Document::typingDiffers() const
{
    // A block that has gone since (undone, deleted) takes no typing.
    if (!table().isLive(m_typing.id))
        return false;
    const Block &block = table().block(m_typing.id);
    return block.caption != m_typing.caption || block.notes != m_typing.notes;
}

void Document::writeRecoveryCopyNow()
{
    m_recoveryDue.stop();
    if (!m_recovery)
        return;
    if (!m_modified && !typingDiffers()) {
        m_recovery->discard();
        return;
    }
    // The copy is made here, on the window's thread; only the writing goes to the other thread.
    Analysis copy = m_analysis;
    if (typingDiffers()) {
        Block typed = copy.table.block(m_typing.id);
        typed.caption = m_typing.caption;
        typed.notes = m_typing.notes;
        copy.table.setBlock(m_typing.id, typed);
    }
    m_recovery->keep(writeAnalysisUtf8(copy), m_currentFile);
}

void Document::discardRecoveryCopy()
{
    m_recoveryDue.stop();
    if (m_recovery)
        m_recovery->discard();
}

void Document::endRun()
{
    discardRecoveryCopy();
    if (m_recovery)
        m_recovery->waitForQueue();
}

Document::RecoveryOffer Document::takeRecoveryCopy()
{
    if (!m_recovery)
        return {};
    m_taken = m_recovery->takeOrphan();
    if (!m_taken)
        return {};
    return {m_taken->copyPath, m_taken->originalFile};
}

ReadOutcome Document::restoreRecoveryCopy()
{
    if (!m_taken)
        return {};
    const ReadOutcome outcome = readRecoveryCopy(m_taken->copyPath);
    if (!outcome.ok) {
        // Unlocked and left in place: nothing the user had is lost, and the next start offers it.
        m_taken.reset();
        return outcome;
    }
    // The file may have changed while the question was on the screen.
    const QString file = restorableFileName(m_taken->originalFile);
    replaceAnalysis(outcome.analysis, file, WindowTitle::afterLoad(shownFileName(file)));
    // The work goes back over the file as it is now: what another program writes there from now
    // on is asked about.
    m_fileStamp = stampOnDisk(m_currentFile);
    // The analysis differs from its file, and no undo can make it the same.
    m_history.resetClean();
    m_modified = true;
    setTitle(WindowTitle::afterDiagramEdit(titleName()));
    writeRecoveryCopyNow(); // this run's own copy is queued before the old one goes
    dropRecoveryCopy();
    return outcome;
}

void Document::dropRecoveryCopy()
{
    if (m_recovery)
        m_recovery->remove(std::move(m_taken));
    m_taken.reset();
}

} // namespace tessik
