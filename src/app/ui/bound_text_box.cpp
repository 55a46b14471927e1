#include "app/ui/bound_text_box.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace tessik {

QString BoundTextBox::rawBoxText() const
{
    // The raw text keeps characters such as the no-break space that the plain text would turn
    // into blanks; paragraphs are separated by U+2029.
    return m_box->document()->toRawText();
}

void BoundTextBox::show(const QString &stored)
{
    m_stored = stored;
    m_box->setPlainText(stored);
    m_shown = rawBoxText();
}

void BoundTextBox::follow(const QString &stored)
{
    if (stored != m_stored && rawBoxText() == m_shown)
        show(stored);
}

QString BoundTextBox::take() const
{
    const QString current = rawBoxText();
    if (current == m_shown)
        return m_stored;
    QString text = current;
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

} // namespace tessik
