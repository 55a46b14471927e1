#pragma once

#include <QString>

class QPlainTextEdit;

namespace tessik {

// A multi-line box showing one stored text. The box keeps line breaks its own way and may
// rewrite some characters; a text the user did not touch comes back exactly as it was stored,
// and typed line breaks come back as CR LF, as the files keep them.
class BoundTextBox {
public:
    explicit BoundTextBox(QPlainTextEdit *box) : m_box(box) {}

    void show(const QString &stored);
    QString take() const;
    // Shows a new stored text unless the user has typed in the box.
    void follow(const QString &stored);
    QString rawBoxText() const;

private:
    QPlainTextEdit *m_box;
    QString m_stored;
    QString m_shown;
};

} // namespace tessik
