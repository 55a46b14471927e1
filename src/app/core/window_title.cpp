#include "app/core/window_title.h"

#include "files/paths.h"

namespace tessik::WindowTitle {

QString afterLoad(const QString &CurrentFile)
{
    return QStringLiteral("Tessik: ") + FileNameOnly(CurrentFile);
}

QString afterSave(const QString &CurrentFile)
{
    return QStringLiteral("Root Cause Anlysis: ") + FileNameOnly(CurrentFile);
}

QString afterDiagramEdit(const QString &CurrentFile)
{
    return afterLoad(CurrentFile) + QStringLiteral(" *");
}

QString afterHeaderEdit(const QString &currentTitle)
{
    return currentTitle.endsWith(QLatin1Char('*')) ? currentTitle : currentTitle + QStringLiteral(" *");
}

} // namespace tessik::WindowTitle
