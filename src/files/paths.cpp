#include "files/paths.h"

#include <QDir>

namespace tessik {

namespace {

qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isFolderSeparator(path[i]))
            return i;
    return -1;
}

} // namespace

bool isFolderSeparator(QChar c)
{
    // Windows takes either slash; elsewhere a backslash is part of a name.
    return c == QLatin1Char('/') || (QDir::separator() == QLatin1Char('\\') && c == QLatin1Char('\\'));
}

QString FileNameOnly(const QString &Path)
{
    QString name = Path.mid(lastSeparator(Path) + 1);
    const qsizetype ending = name.indexOf(kAnalysisEnding, 0, Qt::CaseInsensitive);
    if (ending >= 0)
        name.truncate(ending);
    return name;
}

QString FindPath(const QString &fname)
{
    return fname.left(lastSeparator(fname) + 1);
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || isFolderSeparator(folder.back()))
        return folder;
    return folder + QDir::separator();
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return withTrailingSeparator(folder) + name;
}

} // namespace tessik
