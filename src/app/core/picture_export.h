#pragma once

#include "files/io_result.h"
#include "model/block_table.h"
#include "render/pixel_mapping.h"
#include "render/plot_diagram.h"

#include <QByteArray>
#include <QString>

#include <optional>

class QTextStream;

namespace tessik {

struct CommandLine;

enum class PictureFormat { Pdf, Svg, Png };

// By the file name's ending, letter case ignored: .pdf, .svg or .png; nothing for any other.
std::optional<PictureFormat> pictureFormatFor(const QString &path);

// What a picture shows: the diagram as the window draws it with these colours and mapping.
struct DiagramScene {
    const BlockTable &table;
    DiagramColours colours;
    PixelMapping mapping;
    QString title; // the event description, kept in the file's own title where the format has one
};

// The mapping a window has when it starts, for pictures made without one.
PixelMapping startupMapping();

// The largest PNG made, in pixels, so that a far-flung block or a large scale cannot exhaust
// the memory.
inline constexpr qint64 kMaxPngPixels = qint64(64) * 1024 * 1024;

// The picture's file in memory. PDF: one page the size of the diagram (at 96 pixels to the
// inch), lines and text. SVG: lines and text, sized in pixels. PNG: `scale` pixels for each pixel
// of the mapping. `scale` is used for PNG only.
EncodedFile encodePicture(PictureFormat format, const DiagramScene &scene, double scale = 1.0);

// Encodes in the format the path's ending names and writes the file safely: a failure leaves
// any file of that name as it was and no partial file beside it.
IoResult writePicture(const QString &path, const DiagramScene &scene, double scale = 1.0);

// The message box text for a picture that could not be written.
QString pictureFailureMessage(const QString &path, const QString &reason);

// The --export run: reads the analysis as Load does and writes its picture. Reports on `errors`
// what went wrong or was repaired; returns the exit status.
int runExport(const CommandLine &command, QTextStream &errors);

} // namespace tessik
