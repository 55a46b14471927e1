#include "app/ui/frm_kelvane.h"

#include <QAction>
#include <QKeyEvent>
#include <QPushButton>

// The keyboard: a key for each file command, Esc for the editor and the search panel, and the
// picture commands. A command's key acts only when its button could be clicked: while the block
// editor or the search panel hides the command panel, the command panel's keys do nothing (as
// its hidden buttons do), and the text boxes keep those keys for themselves. Esc closes the
// editor or the search panel first.
namespace tessik {

namespace {

// The key named on the button first; any other key the desktop uses for the same command after.
QList<QKeySequence> keysFor(const QKeySequence &key, QKeySequence::StandardKey standard)
{
    QList<QKeySequence> keys{key};
    for (const QKeySequence &also : QKeySequence::keyBindings(standard)) {
        if (!keys.contains(also))
            keys << also;
    }
    return keys;
}

QString withKey(const QString &caption, const QString &key)
{
    return QStringLiteral("%1 (%2)").arg(caption, key);
}

} // namespace

void frmKelvane::connectShortcuts()
{
    commandKey(btnNew, Qt::CTRL | Qt::Key_N, QKeySequence::New);
    commandKey(btnLoadXML, Qt::CTRL | Qt::Key_O, QKeySequence::Open);
    commandKey(btnSave, Qt::CTRL | Qt::Key_S, QKeySequence::Save);
    commandKey(btnSaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S, QKeySequence::SaveAs);
    commandKey(btnAnalyze, Qt::CTRL | Qt::Key_F, QKeySequence::Find);
    commandKey(btnQuit, Qt::CTRL | Qt::Key_Q, QKeySequence::Quit);

    const auto commandPanelShown = [this] { return frameControl->isVisibleTo(this); };
    addKeyCommand(QStringLiteral("export"), {Qt::CTRL | Qt::Key_E}, commandPanelShown, [this] { exportDiagram(); });
    addKeyCommand(QStringLiteral("print"), keysFor(Qt::CTRL | Qt::Key_P, QKeySequence::Print), commandPanelShown,
                  [this] { printDiagram(); });

    const QKeySequence escape(Qt::Key_Escape);
    addKeyCommand(
        QStringLiteral("escape"), {escape},
        [this] { return frameEdit->isVisibleTo(this) || frameAnalyze->isVisibleTo(this); },
        [this] {
            if (frameEdit->isVisibleTo(this))
                btnCancel->click();
            else
                escapeInSearchPanel();
        });
    updateKeyCommands();
}

void frmKelvane::describeSearchKeys()
{
    const QString esc = QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText);
    btnAnalysisDone->setToolTip(withKey(btnAnalysisDone->text(), esc));
    btnSearch->setToolTip(withKey(btnSearch->text(), QStringLiteral("Enter in the Phrase box")));
}

void frmKelvane::describeEditorKeys()
{
    btnCancel->setToolTip(withKey(btnCancel->text(), QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)));
    btnImplement->setToolTip(withKey(btnImplement->text(), QStringLiteral("Enter in the Text box")));
}

void frmKelvane::commandKey(QPushButton *button, const QKeySequence &key, QKeySequence::StandardKey standard)
{
    addKeyCommand(
        button->objectName(), keysFor(key, standard),
        [this, button] { return button->isVisibleTo(this) && button->isEnabled(); }, [button] { button->click(); });
    button->setToolTip(withKey(button->text(), key.toString(QKeySequence::NativeText)));
}

void frmKelvane::addKeyCommand(const QString &name, QList<QKeySequence> keys, const std::function<bool()> &available,
                               const std::function<void()> &run)
{
    auto *action = new QAction(name, this);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, run);
    addAction(action);
    m_keyCommands << action;
    m_keyAvailable.push_back(available);
}

void frmKelvane::updateKeyCommands()
{
    for (size_t i = 0; i < m_keyAvailable.size(); ++i)
        m_keyCommands[qsizetype(i)]->setEnabled(m_keyAvailable[i]());
}

bool frmKelvane::claimsKey(const QKeyEvent &key) const
{
    const QKeySequence pressed(key.keyCombination());
    for (const QAction *action : m_keyCommands) {
        if (!action->isEnabled())
            continue;
        for (const QKeySequence &shortcut : action->shortcuts()) {
            if (shortcut.matches(pressed) == QKeySequence::ExactMatch)
                return true;
        }
    }
    return false;
}

} // namespace tessik
