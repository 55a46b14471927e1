#include "app/core/picture_export.h"

#include "app/core/command_line.h"
#include "app/core/svg_writer.h"
#include "app/core/user_files.h"
#include "files/safe_write.h"
#include "render/diagram_picture.h"
#include "render/large_picture.h"
#include "render/png_encoder.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace tessik {

namespace {

// Pixels of the mapping are screen pixels of 1/96 inch; a PDF measures in points of 1/72 inch.
constexpr double kPointsPerPixel = 72.0 / 96.0;
// The largest page PDF readers are bound to show, in points.
constexpr double kMaxPdfPagePoints = 14400.0;

// The diagram box of the window is built 609 by 401 pixels with a two-pixel sunken border;
// its inner size at start-up fixes the size of one diagram unit.
constexpr int kStartupDiagramWidth = 609 - 4;
constexpr int kStartupDiagramHeight = 401 - 4;

QString creator()
{
    return QStringLiteral("Tessik ") + ProgramVersion;
}

EncodedFile encodePdf(const DiagramScene &scene, const QRect &area)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(creator());
    writer.setTitle(scene.title);
    QSizeF page = QSizeF(area.size()) * kPointsPerPixel;
    page *= std::min(1.0, kMaxPdfPagePoints / std::max(page.width(), page.height()));
    writer.setPageSize(QPageSize(page, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF());
    QPainter painter;
    if (!painter.begin(&writer))
        return EncodedFile::failure(QStringLiteral("The PDF document could not be started."));
    painter.setTransform(fitTransform(area, QRectF(0, 0, writer.width(), writer.height())));
    paintDiagram(painter, area, scene.table, scene.colours, scene.mapping);
    if (!painter.end())
        return EncodedFile::failure(QStringLiteral("The PDF document could not be finished."));
    return EncodedFile::of(bytes);
}

EncodedFile encodeSvg(const DiagramScene &scene, const QRect &area)
{
    const std::optional<QByteArray> bytes = svgDocument({area.size(), scene.title, creator()}, [&](QPainter &painter) {
        painter.translate(-area.topLeft());
        paintDiagram(painter, area, scene.table, scene.colours, scene.mapping);
    });
    if (!bytes)
        return EncodedFile::failure(QStringLiteral("The SVG picture could not be started."));
    return EncodedFile::of(*bytes);
}

EncodedFile encodePng(const DiagramScene &scene, const QRect &area, double scale)
{
    const double width = std::ceil(area.width() * scale), height = std::ceil(area.height() * scale);
    if (width * height > double(kMaxPngPixels))
        return EncodedFile::failure(
            QStringLiteral("At this scale the picture would be %1 by %2 pixels, more than %3 million "
                           "pixels. A smaller scale makes it fit.")
                .arg(qint64(width))
                .arg(qint64(height))
                .arg(kMaxPngPixels / (1024 * 1024)));
    QImage image = whitePicture(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        return EncodedFile::failure(QStringLiteral("There is not enough memory for a picture of this size."));
    QPainter painter(&image);
    painter.scale(scale, scale);
    painter.translate(-area.topLeft());
    paintDiagram(painter, area, scene.table, scene.colours, scene.mapping);
    painter.end();

    const QByteArray bytes =
        encodeOpaquePng(image, {{QStringLiteral("Title"), scene.title}, {QStringLiteral("Software"), creator()}});
    if (bytes.isEmpty())
        return EncodedFile::failure(QStringLiteral("The PNG picture could not be encoded."));
    return EncodedFile::of(bytes);
}

} // namespace

std::optional<PictureFormat> pictureFormatFor(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        return PictureFormat::Pdf;
    if (name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        return PictureFormat::Svg;
    if (name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        return PictureFormat::Png;
    return std::nullopt;
}

PixelMapping startupMapping()
{
    return PixelMapping::forStartupSize(kStartupDiagramWidth, kStartupDiagramHeight);
}

EncodedFile encodePicture(PictureFormat format, const DiagramScene &scene, double scale)
{
    const QRect area = diagramArea(scene.table, scene.mapping);
    switch (format) {
    case PictureFormat::Pdf:
        return encodePdf(scene, area);
    case PictureFormat::Svg:
        return encodeSvg(scene, area);
    case PictureFormat::Png:
        return encodePng(scene, area, scale);
    }
    return EncodedFile::failure(QString());
}

IoResult writePicture(const QString &path, const DiagramScene &scene, double scale)
{
    const std::optional<PictureFormat> format = pictureFormatFor(path);
    if (!format)
        return IoResult::failure(QStringLiteral("The name must end in .pdf, .svg or .png, which chooses the format."));
    // Checked first, so that a picture is not made for a place it cannot go.
    if (const QString reason = describeUnwritablePath(path); !reason.isEmpty())
        return IoResult::failure(reason);
    const EncodedFile picture = encodePicture(*format, scene, scale);
    if (!picture.ok)
        return picture;
    return writeFileSafely(path, picture.bytes);
}

QString pictureFailureMessage(const QString &path, const QString &reason)
{
    return fileProblemMessage(QStringLiteral("The picture of the diagram could not be saved as this file:"), path,
                              reason);
}

int runExport(const CommandLine &command, QTextStream &errors)
{
    const std::optional<Analysis> analysis = readCommandLineAnalysis(command.file, errors);
    if (!analysis)
        return kExitFailure;
    const DiagramScene scene{analysis->table, DiagramColours(), startupMapping(), analysis->description};
    return exitStatusOfWrite(QStringLiteral("picture"), command.exportTo,
                             writePicture(command.exportTo, scene, command.scale), errors);
}

} // namespace tessik
