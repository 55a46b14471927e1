#include "app/ui/frm_kelvane.h"

#include "app/core/recovery_copies.h"
#include "files/analysis_reader.h"
#include "platform/core/platform.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSignalBlocker>

// Showing the document: the title, the header boxes and the diagram follow it; undo and redo;
// what a run that did not end normally left behind.
namespace tessik {

namespace {

enum class HistoryKey { None, Undo, Redo };

HistoryKey historyKey(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Z && modifiers == Qt::ControlModifier)
        return HistoryKey::Undo;
    if ((key->key() == Qt::Key_Z && modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) ||
        (key->key() == Qt::Key_Y && modifiers == Qt::ControlModifier))
        return HistoryKey::Redo;
    return HistoryKey::None;
}

// Whether a text box has typing of its own to undo or redo.
bool boxHasOwn(QObject *box, HistoryKey key)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return key == HistoryKey::Undo ? line->isUndoAvailable() : line->isRedoAvailable();
    const auto *text = qobject_cast<QPlainTextEdit *>(box);
    return text &&
           (key == HistoryKey::Undo ? text->document()->isUndoAvailable() : text->document()->isRedoAvailable());
}

} // namespace

void frmKelvane::connectDocument()
{
    setWindowTitle(m_document.title());
    connect(&m_document, &Document::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_document, &Document::headerChanged, this, &frmKelvane::showHeader);
    connect(&m_document, &Document::tableChanged, this, &frmKelvane::showTable);
}

void frmKelvane::showHeader()
{
    const std::pair<QLineEdit *, HeaderField> boxes[] = {
        {txtDescription, HeaderField::Description}, {txtemail, HeaderField::Email}, {txtOffice, HeaderField::Office}};
    for (const auto &[box, field] : boxes) {
        const QString text = m_document.header(field);
        if (box->text() != text) {
            const QSignalBlocker quiet(box);
            box->setText(text);
        }
    }
    forgetHeaderTyping(m_typingInto);
}

void frmKelvane::forgetHeaderTyping(QLineEdit *except)
{
    // A header box undoes its own typing only while that typing is the analysis' latest change;
    // after any other change Ctrl+Z there undoes that change. Setting the text clears the box's
    // own history.
    for (QLineEdit *box : {txtDescription, txtemail, txtOffice}) {
        if (box == except || (!box->isUndoAvailable() && !box->isRedoAvailable()))
            continue;
        const QSignalBlocker quiet(box);
        box->setText(box->text());
    }
}

void frmKelvane::showTable()
{
    if (!frameEdit->isHidden()) {
        if (!table().isLive(EditedBlock)) {
            // An undo took away the block the editor was open on.
            showPanel(frameControl);
        } else {
            m_captionBox->follow(table().block(EditedBlock).caption);
            m_notesBox->follow(table().block(EditedBlock).notes);
        }
    }
    forgetHeaderTyping(nullptr);
    PlotDiagram(QString());
    if (!frameEdit->isHidden()) {
        diagram().setPenColour(kRed);
        outlineBox(diagram(), table().block(EditedBlock).x, table().block(EditedBlock).y);
    }
}

void frmKelvane::connectUndoKeys()
{
    const auto onKeys = [this](std::initializer_list<QKeySequence> keys, void (frmKelvane::*handler)()) {
        for (const QKeySequence &key : keys)
            connect(new QShortcut(key, this), &QShortcut::activated, this, handler);
    };
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &frmKelvane::undoEdit);
    onKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, &frmKelvane::redoEdit);
    // The boxes of the editor and the search panel get the same filter when those are built.
    for (QWidget *box : std::initializer_list<QWidget *>{txtDescription, txtemail, txtOffice})
        box->installEventFilter(this);
}

bool frmKelvane::undoKeyForBox(QObject *watched, QEvent *event)
{
    // A text box claims Ctrl+Z for itself even with nothing to undo. Left unclaimed, the key
    // reaches the window's shortcut and undoes the last change of the analysis instead.
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const HistoryKey key = historyKey(static_cast<QKeyEvent *>(event));
    if (key == HistoryKey::None || boxHasOwn(watched, key))
        return false;
    event->ignore();
    return true;
}

void frmKelvane::undoEdit()
{
    m_document.undo();
}

void frmKelvane::redoEdit()
{
    m_document.redo();
}

void frmKelvane::offerRecovery()
{
    const Document::RecoveryOffer offer = m_document.takeRecoveryCopy();
    const QString &copy = offer.copyPath;
    if (copy.isEmpty())
        return;
    // Restoring loses nothing (nothing is edited yet, and the work comes back unsaved); No removes the copy.
    if (m_platform.showMessage(recoveryQuestion(offer.originalFile), MessageButtons::YesNo, MessageAnswer::Yes) !=
        MessageAnswer::Yes) {
        m_document.dropRecoveryCopy();
        return;
    }
    const ReadOutcome outcome = m_document.restoreRecoveryCopy();
    if (!outcome.ok)
        m_platform.showMessage(readFailureMessage(copy, outcome.reason), MessageButtons::Ok);
    else if (!outcome.repairs.isEmpty())
        m_platform.showMessage(repairMessage(copy, outcome.repairs), MessageButtons::Ok);
}

} // namespace tessik
