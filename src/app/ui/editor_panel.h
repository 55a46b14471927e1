#pragma once

#include "app/ui/bound_text_box.h"

#include <QFrame>

#include <memory>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tessik {

// The block editor, frameEdit: the caption and notes of one block, the preset words, and OK,
// Cancel and Delete Block. It only shows texts and says what the user wants; the window stores.
class EditorPanel : public QFrame {
    Q_OBJECT
public:
    explicit EditorPanel(QWidget *parent);
    ~EditorPanel() override;

    // The controls are built on first need, so the window shows sooner.
    void build();
    bool isBuilt() const { return m_caption != nullptr; }

    // Shows the block's stored texts and puts the focus in the caption.
    void open(int id, const QString &caption, const QString &notes);
    // Shows the block's texts anew after they changed (an undo), unless the user has typed there.
    void follow(const QString &caption, const QString &notes);
    int block() const { return m_block; }
    // What the boxes hold, as OK would store it.
    QString caption() const;
    QString notes() const;
    // A notes value dropped on the open block shows in its box.
    void showDroppedNotes(int id, const QString &notes);

Q_SIGNALS:
    void committed(int id, const QString &caption, const QString &notes);
    void cancelled();
    void deleteRequested(int id);
    // The user typed in a box: what OK would store has changed.
    void typed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commit();
    void addPreset(int index);
    void describeKeys();

    QPlainTextEdit *m_caption = nullptr; // txtText
    QPlainTextEdit *m_notes = nullptr;   // txtNotes
    QComboBox *m_presets = nullptr;      // lstPresets
    QPushButton *m_ok = nullptr;         // btnImplement
    QPushButton *m_cancel = nullptr;
    QPushButton *m_delete = nullptr;
    std::unique_ptr<BoundTextBox> m_captionBox;
    std::unique_ptr<BoundTextBox> m_notesBox;
    int m_block = 0;
};

} // namespace tessik
