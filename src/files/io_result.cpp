#include "files/io_result.h"

#include "files/paths.h"

#include <QDir>

namespace tessik {

QString fileProblemMessage(const QString &headline, const QString &path, const QString &reason, const QString &note)
{
    QString message = headline + kLineBreak + kLineBreak + QDir::toNativeSeparators(shownFileName(path)) + kLineBreak +
                      kLineBreak + (reason.isEmpty() ? QStringLiteral("The reason is not known.") : reason);
    if (!note.isEmpty())
        message += kLineBreak + kLineBreak + note;
    return message;
}

} // namespace tessik
