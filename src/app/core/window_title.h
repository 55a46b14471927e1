#pragma once

#include <QString>

namespace tessik {

// The window title shows which file the analysis belongs to and whether it has unsaved edits.
namespace WindowTitle {

inline const QString kProgram = QStringLiteral("Tessik");

QString afterLoad(const QString &CurrentFile);
QString afterSave(const QString &CurrentFile);
QString afterDiagramEdit(const QString &CurrentFile);
// A header edit appends the marker unless the title already ends with "*".
QString afterHeaderEdit(const QString &currentTitle);

} // namespace WindowTitle

} // namespace tessik
