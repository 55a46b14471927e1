#include "app/ui/editor_panel.h"

#include "app/ui/controls.h"
#include "model/classification.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tessik {

using namespace controls;

EditorPanel::EditorPanel(QWidget *parent) : QFrame(parent)
{
    makePanel(this, "frameEdit", 8, 133, QStringLiteral("Block editor"));
}

EditorPanel::~EditorPanel() = default;

void EditorPanel::build()
{
    if (isBuilt())
        return;
    m_caption = yellowBox(this, "txtText", 4, 8, 121, 97);
    nameAfter(m_caption, label(this, "Label1", QStringLiteral("Text"), 128, 8, 25, 17));
    m_caption->setAccessibleDescription(QStringLiteral("The block's caption; Enter stores it"));
    verticalLine(this, "Line2", 156, 8, 104);
    m_notes = yellowBox(this, "txtNotes", 164, 8, 273, 97);
    nameAfter(m_notes, label(this, "Label2", QStringLiteral("Notes"), 444, 8, 33, 17));
    m_presets = place<QComboBox>(this, "lstPresets", 448, 32, 149, 21);
    // The box reads as its current entry; the description says what it is for.
    m_presets->setAccessibleName(QStringLiteral("Presets"));
    m_presets->setAccessibleDescription(QStringLiteral("Presets: adds the chosen word to the notes"));
    verticalLine(this, "Line1", 604, 8, 112);
    m_ok = button(this, "btnImplement", QStringLiteral("OK"), 612, 8, 69, 25);
    m_cancel = button(this, "btnCancel", QStringLiteral("Cancel"), 612, 36, 69, 25);
    m_delete = button(this, "btnDelete", QStringLiteral("Delete Block"), 612, 80, 69, 29);

    m_captionBox = std::make_unique<BoundTextBox>(m_caption);
    m_notesBox = std::make_unique<BoundTextBox>(m_notes);
    m_presets->addItems(presetEntries());
    m_caption->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &EditorPanel::commit);
    connect(m_cancel, &QPushButton::clicked, this, &EditorPanel::cancelled);
    connect(m_delete, &QPushButton::clicked, this, [this] { Q_EMIT deleteRequested(m_block); });
    connect(m_presets, &QComboBox::activated, this, &EditorPanel::addPreset);
    for (QPlainTextEdit *box : {m_caption, m_notes})
        connect(box, &QPlainTextEdit::textChanged, this, &EditorPanel::typed);
    describeKeys();
}

void EditorPanel::describeKeys()
{
    const QString esc = QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText);
    m_cancel->setToolTip(QStringLiteral("%1 (%2)").arg(m_cancel->text(), esc));
    m_ok->setToolTip(QStringLiteral("%1 (Enter in the Text box)").arg(m_ok->text()));
}

void EditorPanel::open(int id, const QString &caption, const QString &notes)
{
    build();
    m_block = id;
    m_captionBox->show(caption);
    m_notesBox->show(notes);
    m_caption->setFocus();
}

void EditorPanel::follow(const QString &caption, const QString &notes)
{
    m_captionBox->follow(caption);
    m_notesBox->follow(notes);
}

QString EditorPanel::caption() const
{
    return isBuilt() ? m_captionBox->take() : QString();
}

QString EditorPanel::notes() const
{
    return isBuilt() ? m_notesBox->take() : QString();
}

void EditorPanel::showDroppedNotes(int id, const QString &notes)
{
    // Notes dropped onto the block being edited replace what its box shows, typing included, as the
    // user asked; dropped onto another block they must not reach this block's notes at OK. (An
    // editor opened later shows its block's notes afresh.)
    if (isBuilt() && id == m_block)
        m_notesBox->show(notes);
}

void EditorPanel::commit()
{
    Q_EMIT committed(m_block, m_captionBox->take(), m_notesBox->take());
}

void EditorPanel::addPreset(int index)
{
    const QString entry = m_presets->itemText(index);
    if (entry.isEmpty() || entry.startsWith(QLatin1Char('<')))
        return; // a heading of the list
    const QString notes = m_notesBox->take();
    m_notesBox->show(notes.isEmpty() ? entry : notes + QStringLiteral("; ") + entry);
}

bool EditorPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the caption is OK; the key is swallowed, so no line break reaches the caption.
    if (watched == m_caption && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !(key->modifiers() & Qt::ControlModifier)) {
            commit();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace tessik
