#pragma once

#include "files/analysis.h"

#include <QLocale>
#include <QString>

namespace tessik {

// Texts are written as they stand, so a text holding a tag of the file's own layout (a
// description with "<block>" in it, a caption with "</text>") would come back as a different
// analysis. Empty when the analysis reads back exactly as it is written; otherwise the message
// to show instead of saving, naming the text that cannot be kept.
QString unkeepableTextMessage(const Analysis &analysis, const QLocale &locale = QLocale());

} // namespace tessik
