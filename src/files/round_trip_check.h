#pragma once

#include "files/analysis.h"

#include <QLocale>
#include <QString>

namespace tessik {

// Texts are written as they stand in the file's code page, so a character the code page cannot
// hold ("Ł", "≥", an emoji) would come back as "?", and a text holding a tag of the file's own
// layout (a description with "<block>" in it, a caption with "</text>") would come back as a
// different analysis. Empty when the analysis reads back exactly as it is; otherwise the
// message to show instead of saving, naming the text that cannot be kept: for a character, the
// first text holding one and that character; for a tag, the first text (in file order) that
// really changes what is read back, not one whose tag does no harm.
QString unkeepableTextMessage(const Analysis &analysis, const QLocale &locale = QLocale());

} // namespace tessik
