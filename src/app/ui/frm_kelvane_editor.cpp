#include "app/ui/frm_kelvane.h"

#include "platform/core/platform.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

// The block editor panel: open it on a block, commit, cancel, delete, and the preset words.
namespace tessik {

void frmKelvane::EditBlock(int id)
{
    ensureEditor();
    EditedBlock = id;
    diagram().setPenColour(kRed);
    outlineBox(diagram(), table().block(id).x, table().block(id).y);
    showPanel(frameEdit);
    m_captionBox->show(table().block(id).caption);
    m_notesBox->show(table().block(id).notes);
    txtText->setFocus();
}

void frmKelvane::editBlock(int id)
{
    leaveEditor();
    EditBlock(id);
}

void frmKelvane::showPanel(QFrame *panel)
{
    // The three panels share one place in the window's lower strip: one shows at a time.
    for (QFrame *each : {frameControl, frameEdit, frameAnalyze})
        each->setVisible(each == panel);
    if (panel != frameEdit)
        m_document.clearEditorTyping();
    updateKeyCommands();
}

bool frmKelvane::editorHasTyping() const
{
    if (frameEdit->isHidden() || !table().isLive(EditedBlock))
        return false;
    return m_captionBox->take() != table().block(EditedBlock).caption ||
           m_notesBox->take() != table().block(EditedBlock).notes;
}

void frmKelvane::leaveEditor()
{
    // Before another block opens or a new one is added, what was typed is kept as OK keeps it,
    // and the open block's red outline goes with the redraw.
    if (frameEdit->isHidden())
        return;
    const bool typed = editorHasTyping();
    showPanel(frameControl);
    if (typed)
        m_document.commitBlock(EditedBlock, m_captionBox->take(), m_notesBox->take());
    else
        PlotDiagram(QString());
}

void frmKelvane::btnImplement_Click()
{
    showPanel(frameControl);
    // A slot that has gone since the editor opened stores nothing; the commit still marks the document.
    m_document.commitBlock(EditedBlock, m_captionBox->take(), m_notesBox->take());
}

void frmKelvane::btnCancel_Click()
{
    showPanel(frameControl);
    PlotDiagram(QString());
}

void frmKelvane::btnDelete_Click()
{
    const int id = EditedBlock;
    EditedBlock = 0;
    showPanel(frameControl);
    if (table().isLive(id))
        m_document.deleteBlock(id);
    else
        PlotDiagram(QString());
}

bool frmKelvane::txtText_KeyPress(int KeyAscii)
{
    if (KeyAscii != kEnterKeyCode)
        return false;
    btnImplement_Click();
    return true; // the key is swallowed: no line break reaches the caption
}

bool frmKelvane::eventFilter(QObject *watched, QEvent *event)
{
    if (undoKeyForBox(watched, event))
        return true;
    // A text box would keep some of the window's keys for its own editing (Ctrl+E moves to the
    // line's end on X11); while such a command can act, the window takes the key.
    if (event->type() == QEvent::ShortcutOverride && claimsKey(*static_cast<QKeyEvent *>(event)))
        return true;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (watched == txtText && enter && !(key->modifiers() & Qt::ControlModifier))
            return txtText_KeyPress(kEnterKeyCode);
        if (watched == txtKeyWord && enter)
            return txtKeyWord_KeyPress(kEnterKeyCode);
    }
    return QWidget::eventFilter(watched, event);
}

void frmKelvane::lstPresets_Click(int index)
{
    const QString entry = lstPresets->itemText(index);
    if (entry.isEmpty() || entry.startsWith(QLatin1Char('<')))
        return;
    const QString notes = m_notesBox->take();
    m_notesBox->show(notes.isEmpty() ? entry : notes + QStringLiteral("; ") + entry);
}

void frmKelvane::setNotesBoxText(const QString &text)
{
    // An editor not built yet shows the block's notes afresh when it opens.
    if (m_notesBox)
        m_notesBox->show(text);
}

} // namespace tessik
