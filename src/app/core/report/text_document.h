#pragma once

#include "app/core/report/outline.h"

#include <memory>

class QTextDocument;

namespace tessik {

enum class ReportPictureMode {
    Drawn,  // drawn by the document's layout on the device that paints it: lines and text in a PDF
    Images, // placed as images, for formats that keep pictures as files of their own
};

// The width, in pixels of 1/96 inch, a picture takes in a document that has no page of its own
// (narrower than the text of an A4 or a Letter page with the report's margins).
inline constexpr double kImagePictureWidth = 620;

// The report as a rich-text document: headings, paragraphs, real tables and the pictures.
// Text goes in as plain text, so nothing in it is taken for markup. The layout will be made on
// a device with `devicePixels` pixels for each pixel of 1/96 inch.
std::unique_ptr<QTextDocument> reportDocument(const ReportOutline &outline, ReportPictureMode mode,
                                              double devicePixels = 1.0);

// Elements [from, to) of the report, pictures drawn: the title heads the part that starts with the
// first element; a later part starts with its own first element.
std::unique_ptr<QTextDocument> reportDocumentPart(const ReportOutline &outline, size_t from, size_t to,
                                                  double devicePixels);

} // namespace tessik
