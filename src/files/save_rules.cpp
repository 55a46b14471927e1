#include "files/save_rules.h"

#include "files/io_result.h"

namespace tessik {

namespace {

const QString kNotSaved = QStringLiteral("The Root Cause Analysis was not saved.");

bool isKept(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z');
}

} // namespace

QString Filter(QString buffer)
{
    buffer.removeIf([](QChar c) { return !isKept(c); });
    return buffer;
}

QString proposedFileName(const QString &description, const QString &email)
{
    return Filter(description) + QLatin1Char('_') + Filter(email);
}

QString saveValidationMessage(const QString &description, const QString &office, SaveCommand command)
{
    if (description.isEmpty())
        return kNotSaved + kLineBreak + kLineBreak + QStringLiteral("You need an Event Description");
    if (office.isEmpty())
        return kNotSaved + kLineBreak + kLineBreak +
               (command == SaveCommand::Save ? QStringLiteral("You need to identify the office")
                                             : QStringLiteral("You need to identify an office"));
    return QString();
}

QString saveFailureMessage(const QString &path, const QString &reason)
{
    return fileProblemMessage(kNotSaved + QStringLiteral(" This file could not be written:"), path, reason,
                              QStringLiteral("A file that was there before is unchanged."));
}

} // namespace tessik
