#include "app/core/sample_folder.h"

#include <QDir>

namespace tessik {

QString sampleFolder(const QString &programFolder)
{
    const QString installed = QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral(TESSIK_INSTALLED_SAMPLES)));
    return QDir(installed).exists() ? QDir::toNativeSeparators(installed) : programFolder;
}

} // namespace tessik
