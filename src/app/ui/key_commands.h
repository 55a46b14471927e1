#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QPushButton;
class QWidget;

namespace tessik {

// The window's keyboard: a key for each command, acting only while the command could be clicked
// (while the block editor or the search panel hides the command panel, its keys do nothing, as
// its hidden buttons do), and Ctrl+Z with its redo keys wherever the focus is. It also watches
// the text boxes, which would keep some of these keys for their own editing.
class KeyCommands : public QObject {
    Q_OBJECT
public:
    explicit KeyCommands(QWidget *window);

    // The button's key, and any other key the desktop uses for the same command: a click on the
    // button while it could be clicked, or while `alsoWhen` holds; its tooltip names the key.
    void addButton(QPushButton *button, const QKeySequence &key, QKeySequence::StandardKey standard,
                   const std::function<bool()> &alsoWhen = {});
    void add(const QString &name, const QList<QKeySequence> &keys, const std::function<bool()> &available,
             const std::function<void()> &run);
    // Undo and redo: a text box with typing of its own to undo or redo takes the key first.
    void addHistoryKeys(const std::function<void()> &undo, const std::function<void()> &redo);
    // Whether each command can act, after the panel on show changed.
    void update();
    void watchTextBox(QWidget *box);

    // The key named first, then those the desktop uses for the same command.
    static QList<QKeySequence> keysFor(const QKeySequence &key, QKeySequence::StandardKey standard);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool claims(const QKeyEvent &key) const;

    QWidget *m_window;
    QList<QAction *> m_actions;
    std::vector<std::function<bool()>> m_available; // for each action, whether it acts now
};

} // namespace tessik
