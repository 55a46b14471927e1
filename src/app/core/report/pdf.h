#pragma once

#include "app/core/report/outline.h"
#include "files/io_result.h"

#include <QLocale>
#include <QPageSize>

class QIODevice;

namespace tessik {

// Letter where it is the usual paper (the United States, Canada, much of Latin America and the
// Philippines), A4 everywhere else.
QPageSize::PageSizeId reportPageSize(const QLocale &locale);

// The report as a paged PDF on the device: the locale's paper with margins, the title in every
// page's header, "Page n of m" in every footer, the text as text and the pictures as lines.
IoResult writeReportPdf(const ReportOutline &outline, const QLocale &locale, QIODevice &device);

} // namespace tessik
