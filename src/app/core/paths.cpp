#include "app/core/paths.h"

#include <QDir>

namespace tessik {

namespace {

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
}

bool endsWithSeparator(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'));
}

} // namespace

QString FileNameOnly(const QString &Path)
{
    QString name = Path.mid(lastSeparator(Path) + 1);
    const qsizetype ending = name.indexOf(kAnalysisEnding, 0, Qt::CaseInsensitive);
    if (ending >= 0)
        name.truncate(ending);
    return name;
}

QString FindPath(const QString &fname) { return fname.left(lastSeparator(fname) + 1); }

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || endsWithSeparator(folder))
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
