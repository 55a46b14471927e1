#pragma once

#include "files/analysis.h"
#include "files/safe_write.h"

#include <QByteArray>
#include <QLocale>
#include <QString>

namespace tessik {

// The exact bytes of an analysis file: the declaration, <analysis>, the three header lines,
// one ten-line block group for every used slot (free slots too, with whatever the
// slot still holds), </analysis>; CR LF after every line; Windows-1252. Texts go out exactly
// as they stand, neither escaped nor trimmed. `locale` gives the decimal separator of the
// rare position with a fraction; a separator the code page cannot hold is written as ".".
QByteArray writeAnalysis(const Analysis &analysis, const QLocale &locale = QLocale());

// The same layout in UTF-8, declared as such, for copies the program keeps for itself: every
// character survives, also those the code page cannot hold.
QByteArray writeAnalysisUtf8(const Analysis &analysis, const QLocale &locale = QLocale());

// Replaces (or creates) the file through a save file: when anything fails the file that
// was there stays as it was, and the result says why.
IoResult saveAnalysisFile(const QString &path, const Analysis &analysis, const QLocale &locale = QLocale());

} // namespace tessik
