#pragma once

#include "app/core/picture_export.h"

#include <QImage>

namespace tessik {

class Document;
class Platform;

// The commands that take the analysis out of the program, as the user meets them:
// the save dialog, the print dialog, and the messages that say what went wrong. Each shows the
// analysis itself, not the marks of the moment (the editor's outline, search hits, a replay).
class ExportCommands {
public:
    ExportCommands(const Document &document, Platform &platform) : m_document(document), m_platform(platform) {}

    // Ctrl+E: a PDF, SVG or PNG file, by the chosen name's ending.
    void exportPicture(const DiagramColours &colours, const PixelMapping &mapping);
    // Ctrl+P: the diagram fitted to one printed page.
    void print(const DiagramColours &colours, const PixelMapping &mapping);
    // Snapshot: the picture as a bitmap, opened in the picture viewer.
    void snapshot(const QImage &picture);
    // Ctrl+R: the report of the analysis, as PDF, HTML or ODT by the chosen type.
    void report(const DiagramColours &colours, const PixelMapping &mapping);

private:
    const Document &m_document;
    Platform &m_platform;
};

} // namespace tessik
