#include "app/ui/key_commands.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

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

KeyCommands::KeyCommands(QWidget *window) : QObject(window), m_window(window) {}

QList<QKeySequence> KeyCommands::keysFor(const QKeySequence &key, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> keys{key};
    for (const QKeySequence &also : QKeySequence::keyBindings(standard)) {
        if (!keys.contains(also))
            keys << also;
    }
    return keys;
}

void KeyCommands::addButton(QPushButton *button, const QKeySequence &key, QKeySequence::StandardKey standard,
                            const std::function<bool()> &alsoWhen)
{
    const auto clickable = [this, button] { return button->isVisibleTo(m_window) && button->isEnabled(); };
    const auto also = [alsoWhen] { return alsoWhen && alsoWhen(); };
    add(
        button->objectName(), keysFor(key, standard), [clickable, also] { return clickable() || also(); },
        [button] { button->click(); });
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
}

void KeyCommands::add(const QString &name, const QList<QKeySequence> &keys, const std::function<bool()> &available,
                      const std::function<void()> &run)
{
    auto *action = new QAction(name, m_window);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, run);
    m_window->addAction(action);
    m_actions << action;
    m_available.push_back(available);
}

void KeyCommands::addHistoryKeys(const std::function<void()> &undo, const std::function<void()> &redo)
{
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), m_window), &QShortcut::activated, this, undo);
    for (const QKeySequence &key : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)})
        connect(new QShortcut(key, m_window), &QShortcut::activated, this, redo);
}

void KeyCommands::update()
{
    for (size_t i = 0; i < m_available.size(); ++i)
        m_actions[qsizetype(i)]->setEnabled(m_available[i]());
}

void KeyCommands::watchTextBox(QWidget *box)
{
    box->installEventFilter(this);
}

bool KeyCommands::claims(const QKeyEvent &key) const
{
    const QKeySequence pressed(key.keyCombination());
    for (const QAction *action : m_actions) {
        if (!action->isEnabled())
            continue;
        for (const QKeySequence &shortcut : action->shortcuts()) {
            if (shortcut.matches(pressed) == QKeySequence::ExactMatch)
                return true;
        }
    }
    return false;
}

bool KeyCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // A text box claims Ctrl+Z for itself even with nothing to undo. Left unclaimed, the key
    // reaches the window's shortcut and undoes the last change of the analysis instead.
    const HistoryKey history = historyKey(key);
    if (history != HistoryKey::None && !boxHasOwn(watched, history)) {
        event->ignore();
        return true;
    }
    // A text box would keep some of the window's keys for its own editing (Ctrl+E moves to the
    // line's end on X11); while such a command can act, the window takes the key.
    return claims(*key);
}

} // namespace tessik
