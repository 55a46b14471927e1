#pragma once

#include "platform/core/platform.h"

class QWidget;

namespace tessik {

// The function of the module tessik_print, the program's one user of Qt PrintSupport: shows the
// system's print dialog over `parent` and prints the page `paint` draws when the user confirms.
using PrintPageFunction = PrintOutcome (*)(const PrintRequest &request, const PagePainter &paint, QWidget *parent);
inline constexpr char kPrintModule[] = "tessik_print";
inline constexpr char kPrintPageFunction[] = "tessikPrintPage";

} // namespace tessik
