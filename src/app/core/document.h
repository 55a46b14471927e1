#pragma once

#include "app/core/edit_commands.h"
#include "files/analysis.h"
#include "files/analysis_reader.h"
#include "files/file_stamp.h"
#include "files/io_result.h"
#include "files/save_rules.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUndoStack>

#include <memory>
#include <vector>

namespace tessik {

class RecoveryCopies;
struct RecoveryOrphan;

// The analysis as a document: what it holds (the three header texts and the block table),
// the file it belongs to (CurrentFile), whether it may differ from that file (Unsaved), the
// window title that shows both, the folder of the last load or save (LastFolder), and the
// history of edits to undo and redo. Every change of the analysis goes through the operations
// here, as a user's action makes it; the window only shows the document.
class Document : public QObject, private EditTarget {
    Q_OBJECT
public:
    explicit Document(QObject *parent = nullptr);
    ~Document() override;

    const Analysis &analysis() const { return m_analysis; }
    const BlockTable &table() const { return m_analysis.table; }
    QString header(HeaderField field) const;

    // CurrentFile: the file last loaded or saved; empty for an analysis never saved. A name that
    // is no valid text keeps its bytes (fileNameFromBytes), so Save writes where Load read.
    const QString &currentFile() const { return m_currentFile; }
    // Unsaved: the analysis may differ from its file.
    bool isModified() const { return m_modified; }
    const QString &title() const { return m_title; }
    const QString &lastFolder() const { return m_lastFolder; }
    void setLastFolder(const QString &folder) { m_lastFolder = folder; }
    const QUndoStack &history() const { return m_history; }

    // Whole analyses. Each leaves a clean document with an empty history.
    void newAnalysis(); // block 1 alone at the diagram's left edge
    // Replaced only by a good read; the outcome carries the reason or the repairs for the user.
    // LastFolder is the caller's: Load sets it, opening a search result does not.
    ReadOutcome open(const QString &path);
    // The same for a file the caller has read already.
    ReadOutcome open(const QString &path, const ReadOutcome &read);
    // Empty when the analysis may be saved; otherwise the message to show: a missing
    // description or office, or a text the file cannot keep.
    QString saveRefusal(SaveCommand command) const;
    // Writes the file (refusing what it cannot keep); on success CurrentFile, the title and
    // LastFolder follow the file, and the document is clean.
    IoResult save(const QString &path);
    // Empty when a save may write over the file at `path`; otherwise the question to ask first:
    // it is CurrentFile, and another program has changed it since this one last read or wrote it.
    // A file that has gone is written again without asking.
    QString overwriteQuestion(const QString &path) const;

    // Edits of the analysis: each is one step of the history, marks the document and sets the
    // title. An edit that changes nothing still marks the document but adds no step.
    int addBlock(float x, float y); // the new block's id, or 0 when the table is full
    // A new block made a child of `parent` at once: one step, undone as a whole.
    int addCause(float x, float y, int parent);
    void commitBlock(int id, const QString &caption, const QString &notes);
    void deleteBlock(int id);
    void moveBlocks(const std::vector<BlockPlace> &places);
    void linkBlocks(int child, int parent);
    void setCategory(int id, const QString &category);
    void setNotes(int id, const QString &notes);
    void setHeader(HeaderField field, const QString &text);

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void undo();
    void redo();

    // Crash recovery: while the document is modified, a copy of the analysis is kept in the
    // per-user folder, written off the user interface's thread shortly after a change. When a
    // copy cannot be written, recoveryCopyFailed says so once; it is tried again after every
    // edit, and said again only after it has worked in between.
    void keepRecoveryCopies(const QString &userFolder);
    // How long after a change the copy is written; shorter only where waiting costs (tests).
    void setRecoveryDelay(int milliseconds) { m_recoveryDue.setInterval(milliseconds); }
    // What the block editor shows for the block it is open on, typed but not stored yet: the
    // copy holds it as OK would store it, and typing is followed by a copy as an edit is.
    void setEditorTyping(int id, const QString &caption, const QString &notes);
    void clearEditorTyping(); // the editor closed
    // A copy that a run which did not end normally left behind, taken for this run; its path is
    // empty when there is none.
    struct RecoveryOffer {
        QString copyPath;
        QString originalFile; // the file the work belonged to; empty when it was never saved
    };
    RecoveryOffer takeRecoveryCopy();
    // Opens the copy taken with takeRecoveryCopy as the analysis of the file offered, with unsaved
    // changes (unsaved as never saved when the file is no longer one to restore to, see
    // restorableFileName); or, when the copy cannot be read, leaves the document as it was and
    // the copy where it is, for a later start.
    ReadOutcome restoreRecoveryCopy();
    void dropRecoveryCopy(); // the copy taken is not wanted: it goes
    // A normal end: this run's copy goes.
    void endRun();

Q_SIGNALS:
    void tableChanged();
    void headerChanged();
    void titleChanged(const QString &title);
    // The message for the user: the copy of the unsaved work could not be written.
    void recoveryCopyFailed(const QString &message);

private:
    Analysis &editedAnalysis() override { return m_analysis; }
    void edited(EditKind kind) override;
    void push(std::unique_ptr<QUndoCommand> step);
    void settleAfterHistoryStep();
    void replaceAnalysis(const Analysis &analysis, const QString &file, const QString &cleanTitle);
    void setTitle(const QString &title);
    void changeBlock(int id, const Block &after);
    void scheduleRecoveryCopy();
    bool typingDiffers() const;
    void writeRecoveryCopyNow();
    void discardRecoveryCopy();
    void recoveryCopyWritten(const IoResult &written);
    QString titleName() const; // CurrentFile as the title shows it

    Analysis m_analysis;
    QString m_currentFile;
    QString m_lastFolder;
    QString m_title;
    QString m_cleanTitle; // the title of the state the history marks as clean
    bool m_modified = false;
    FileStamp m_fileStamp; // CurrentFile as last read or written
    struct Typing {
        int id = 0; // none
        QString caption, notes;
    } m_typing;
    QUndoStack m_history;
    QTimer m_recoveryDue;
    std::unique_ptr<RecoveryCopies> m_recovery;
    std::unique_ptr<RecoveryOrphan> m_taken;
    bool m_recoveryFailureTold = false;
};

} // namespace tessik
