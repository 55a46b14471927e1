#include "app/ui/header_fields.h"

#include "app/ui/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tessik {

using namespace controls;

HeaderFields::HeaderFields(QWidget *parent) : CaptionFrame(parent)
{
    setObjectName(QStringLiteral("frameDescription"));
    setGeometry(260, 44, 417, 85);
    setTitle(QStringLiteral("Event Description"));
    m_boxes[0] = lineBox(this, "txtDescription", 8, 20, 401, 21);
    m_boxes[0]->setAccessibleName(title());
    QLabel *email = label(this, "Label4", QStringLiteral("E-Mail Point of Contact"), 8, 44, 137, 13);
    m_boxes[1] = lineBox(this, "txtemail", 8, 60, 145, 21);
    nameAfter(m_boxes[1], email);
    QLabel *domain = label(this, "Label5", QStringLiteral("@example.org"), 156, 64, 77, 13);
    m_boxes[1]->setAccessibleDescription(QStringLiteral("The part of the address before ") + domain->text());
    QLabel *office = label(this, "Label6", QStringLiteral("Office"), 276, 44, 93, 13);
    m_boxes[2] = lineBox(this, "txtOffice", 276, 60, 125, 21);
    nameAfter(m_boxes[2], office);
    for (int box = 0; box < 3; ++box)
        connect(m_boxes[box], &QLineEdit::textChanged, this, [this, box] { typedInto(box); });
}

void HeaderFields::typedInto(int box)
{
    m_typingInto = m_boxes[box];
    Q_EMIT edited(HeaderField(box), m_boxes[box]->text());
    m_typingInto = nullptr;
}

void HeaderFields::show(const QString &description, const QString &email, const QString &office)
{
    const QString texts[] = {description, email, office};
    for (int box = 0; box < 3; ++box) {
        if (m_boxes[box]->text() != texts[box]) {
            const QSignalBlocker quiet(m_boxes[box]);
            m_boxes[box]->setText(texts[box]);
        }
    }
    forgetTyping();
}

void HeaderFields::forgetTyping()
{
    // Setting the text clears the box's own history.
    for (QLineEdit *box : m_boxes) {
        if (box == m_typingInto || (!box->isUndoAvailable() && !box->isRedoAvailable()))
            continue;
        const QSignalBlocker quiet(box);
        box->setText(box->text());
    }
}

} // namespace tessik
