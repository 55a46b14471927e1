#include "render/pixel_copy.h"

#include "render/bands.h"

#include <QPaintEngine>
#include <QPainter>

#include <cstring>
#include <optional>

namespace tessik {

void copyPixels(const QImage &from, const QRect &source, QImage &to, QPoint at, int threads)
{
    Q_ASSERT(from.format() == to.format() && from.depth() == 32);
    Q_ASSERT(from.rect().contains(source) && to.rect().contains(QRect(at, source.size())));
    if (source.isEmpty())
        return;
    // Taken here, once: bits() may copy a shared picture, which no two threads may do at once.
    uchar *const target = to.bits();
    const uchar *const origin = from.constBits();
    const qsizetype targetLine = to.bytesPerLine(), originLine = from.bytesPerLine();
    const size_t rowBytes = size_t(source.width()) * 4;
    inBands(source.height(), bandCount(source.width(), source.height(), threads), [&](int firstRow, int endRow) {
        for (int row = firstRow; row < endRow; ++row)
            std::memcpy(target + (at.y() + row) * targetLine + qsizetype(at.x()) * 4,
                        origin + (source.y() + row) * originLine + qsizetype(source.x()) * 4, rowBytes);
    });
}

namespace {

// The pixels the painter writes, when it writes them straight into a picture of `picture`'s
// format at its density, each pixel of the picture replacing one of them.
QImage *rasterPixels(const QPainter &painter, const QImage &picture)
{
    QPaintEngine *const engine = painter.paintEngine();
    QPaintDevice *const device = engine && engine->type() == QPaintEngine::Raster ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto *const pixels = static_cast<QImage *>(device);
    const QTransform toDevice = painter.deviceTransform();
    const bool pixelForPixel = toDevice.type() <= QTransform::TxScale && toDevice.m11() == picture.devicePixelRatio() &&
                               toDevice.m22() == picture.devicePixelRatio();
    const bool replacing = painter.opacity() == 1 && !picture.hasAlphaChannel() &&
                           (painter.compositionMode() == QPainter::CompositionMode_SourceOver ||
                            painter.compositionMode() == QPainter::CompositionMode_Source);
    return pixelForPixel && replacing && !painter.hasClipping() && pixels->format() == picture.format() ? pixels
                                                                                                        : nullptr;
}

// Where the painter's `target` lands in device pixels, if its corners fall on whole ones.
std::optional<QRect> devicePixels(const QPainter &painter, const QRect &target)
{
    const QRectF mapped = painter.deviceTransform().mapRect(QRectF(target));
    const QPoint topLeft(qRound(mapped.left()), qRound(mapped.top()));
    const QRect whole(topLeft, QPoint(qRound(mapped.right()) - 1, qRound(mapped.bottom()) - 1));
    if (QRectF(whole) != mapped)
        return std::nullopt;
    return whole;
}

// The painter's pixels and where a copy of `source` lands among them, when it can be made.
struct CopyTarget {
    QImage *pixels;
    QRect area;
};

std::optional<CopyTarget> copyTarget(const QPainter &painter, const QRect &target, const QImage &picture,
                                     const QRectF &source)
{
    QImage *const pixels = rasterPixels(painter, picture);
    const std::optional<QRect> area = pixels ? devicePixels(painter, target) : std::nullopt;
    const QRect wholeSource = source.toRect();
    if (!area || QRectF(wholeSource) != source || area->size() != wholeSource.size() ||
        !pixels->rect().contains(*area) || !picture.rect().contains(wholeSource))
        return std::nullopt;
    return CopyTarget{pixels, *area};
}

} // namespace

bool showsByCopying(const QPainter &painter, const QRect &target, const QImage &picture, const QRectF &source)
{
    return copyTarget(painter, target, picture, source).has_value();
}

void showPicture(QPainter &painter, const QRect &target, const QImage &picture, const QRectF &source, int threads)
{
    // The painter clips to what the window asked to repaint; the caller keeps the target inside it.
    if (const std::optional<CopyTarget> copy = copyTarget(painter, target, picture, source))
        copyPixels(picture, source.toRect(), *copy->pixels, copy->area.topLeft(), threads);
    else
        painter.drawImage(QRectF(target), picture, source);
}

} // namespace tessik
