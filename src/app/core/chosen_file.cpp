#include "app/core/chosen_file.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>

#include <algorithm>

namespace tessik {

QStringList filterEndings(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList endings;
    for (qsizetype i = 1; i < parts.size(); i += 2) {
        // "*.rca.xml" gives ".rca.xml"; of several patterns the first names the type.
        const QString pattern = parts[i].section(QLatin1Char(';'), 0, 0).trimmed();
        endings << (pattern.startsWith(QLatin1Char('*')) ? pattern.mid(1) : pattern);
    }
    return endings;
}

QString withEnding(const QString &path, const QStringList &endings, int chosen, ForeignEnding foreign)
{
    if (path.isEmpty() || endings.isEmpty())
        return path;
    for (const QString &ending : endings)
        if (!ending.isEmpty() && path.endsWith(ending, Qt::CaseInsensitive))
            return path;
    if (foreign == ForeignEnding::Kept && !QMimeDatabase().mimeTypesForFileName(QFileInfo(path).fileName()).isEmpty())
        return path;
    return path + endings[std::clamp<qsizetype>(chosen, 0, endings.size() - 1)];
}

QString replaceQuestion(const QString &path)
{
    return QStringLiteral("There is a file of this name already:\r\n\r\n%1\r\n\r\n"
                          "Do you want to replace it?\r\n\r\nYes replaces the file; No saves nothing.")
        .arg(QDir::toNativeSeparators(path));
}

QString chooseFileWithEnding(Platform &platform, FileDialogRequest request, ForeignEnding foreign)
{
    const bool save = request.mode == FileDialogMode::Save;
    const QStringList endings = filterEndings(request.filter);
    if (save && request.defaultSuffix.isEmpty() && endings.size() == 1)
        request.defaultSuffix = endings.front();
    const FileChoice choice = platform.showFileDialog(request);
    if (!save)
        return choice.path;
    const QString path = withEnding(choice.path, endings, choice.filterIndex, foreign);
    // The dialog asked about the name it returned, if at all; the name with the ending is news.
    if (path != choice.path && QFileInfo::exists(path) &&
        platform.showMessage(replaceQuestion(path), MessageButtons::YesNo, MessageAnswer::No) != MessageAnswer::Yes)
        return QString();
    return path;
}

} // namespace tessik
