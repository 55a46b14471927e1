#pragma once

#include "app/core/edit_commands.h"
#include "app/ui/caption_frame.h"

class QLineEdit;

namespace tessik {

// The analysis' header, frameDescription: the event description, the contact's e-mail name and
// the office. Says what the user typed; shows what the document holds.
class HeaderFields : public CaptionFrame {
    Q_OBJECT
public:
    explicit HeaderFields(QWidget *parent);

    // Shows the document's texts; a box whose text is already right is left alone.
    void show(const QString &description, const QString &email, const QString &office);
    // A header box undoes its own typing only while that typing is the analysis' latest change;
    // after any other change Ctrl+Z there undoes that change. Clears each box's own history,
    // but that of the box being typed into.
    void forgetTyping();
    QLineEdit *descriptionBox() const { return m_boxes[0]; }

Q_SIGNALS:
    void edited(tessik::HeaderField field, const QString &text);

private:
    void typedInto(int box);

    QLineEdit *m_boxes[3] = {}; // txtDescription, txtemail, txtOffice: in HeaderField order
    QLineEdit *m_typingInto = nullptr;
};

} // namespace tessik
