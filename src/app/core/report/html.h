#pragma once

#include "app/core/report/outline.h"

#include <QByteArray>

namespace tessik {

// The report as one self-contained XHTML page in UTF-8: the pictures as inline SVG, the style
// embedded with its own rules for print, nothing to fetch from anywhere. It parses as XML.
// Empty when one of the pictures could not be drawn.
QByteArray reportHtml(const ReportOutline &outline);

} // namespace tessik
