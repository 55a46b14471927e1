#pragma once

#include <QFunctionPointer>
#include <QString>

namespace tessik {

// A function of one of the program's own modules ("tessik_svg"), which lie at a fixed place
// relative to the program (in the build tree and when installed alike), loaded the first time it is
// asked for and kept for the rest of the run; null when the module or the function is missing.
// Exporting an SVG picture and printing need Qt libraries the window's start does not: they
// come from modules, so that every start does not pay for loading them.
QFunctionPointer programModuleFunction(const QString &module, const char *function);

} // namespace tessik
