#include "render/caption_tiles.h"

#include "render/large_picture.h"
#include "render/text_metrics.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessik {

namespace {

// At 400 % on a dense screen a 100-block picture holds a few dozen megabytes of captions.
constexpr qint64 kBudgetBytes = 160 * 1024 * 1024;

void drawLines(QImage &image, const CaptionTileKey &key, const TextMetrics &text, QPoint corner,
               OutlineGlyphs *outlines = nullptr)
{
    QPainter painter(&image);
    painter.setPen(QColor(redOf(key.pen), greenOf(key.pen), blueOf(key.pen)));
    for (qsizetype i = 0; i < key.lines.size(); ++i) {
        const QPointF origin = key.origins[i] - QPointF(corner);
        if (outlines)
            outlines->drawText(painter, text, origin, key.lines[i], key.scale);
        else
            text.drawText(painter, origin, key.lines[i], key.scale);
    }
}

} // namespace

QRect captionTileArea(const CaptionTileKey &key, const TextMetrics &text)
{
    // A whole line of room on every side: glyphs reach a little past their advances and their line.
    const double room = text.lineHeight() * key.scale;
    QRectF area;
    for (qsizetype i = 0; i < key.lines.size(); ++i) {
        const QPointF at = key.origins[i];
        area |= QRectF(QPointF(at.x() - room, at.y() - text.ascent() * key.scale - room),
                       QPointF(at.x() + text.pixelWidth(key.lines[i]) * key.scale + room,
                               at.y() + (text.lineHeight() - text.ascent()) * key.scale + room));
    }
    return QRect(QPoint(int(std::floor(area.left())), int(std::floor(area.top()))),
                 QPoint(int(std::ceil(area.right())), int(std::ceil(area.bottom()))));
}

size_t qHash(const CaptionTileKey &key, size_t seed)
{
    seed = qHashMulti(seed, key.lines, key.scale, key.pen, key.fill);
    for (const QPointF &at : key.origins)
        seed = qHashMulti(seed, at.x(), at.y());
    return seed;
}

QImage CaptionTiles::scratchImage(QSize size)
{
    const size_t pixels = size_t(size.width()) * size_t(size.height());
    if (m_scratch.size() < pixels)
        m_scratch.resize(pixels);
    QImage image(reinterpret_cast<uchar *>(m_scratch.data()), size.width(), size.height(), 4 * size.width(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

CaptionTile CaptionTiles::draw(const CaptionTileKey &key, const TextMetrics &text)
{
    CaptionTile tile;
    tile.area = captionTileArea(key, text);
    // The glyphs alone tell every pixel they reach, even where a blend leaves the fill as it was.
    const bool outlines = text.fillsOutlines(key.scale);
    QImage coverage = scratchImage(tile.area.size());
    drawLines(coverage, key, text, tile.area.topLeft(), outlines ? &m_outlines : nullptr);
    tile.pixels = filledPicture(tile.area.width(), tile.area.height(), QImage::Format_RGB32, toPixel(key.fill));
    if (outlines) {
        // An outline's coverage blends the pen onto a pixel by the same sums whether the pixel
        // is the fill or nothing, and laying the second over the fill gives the first: the
        // glyphs, costly at this size, are drawn once.
        QPainter(&tile.pixels).drawImage(0, 0, coverage);
    } else {
        // Glyphs from Qt's glyph cache blend by other sums: they are drawn again, over the fill.
        drawLines(tile.pixels, key, text, tile.area.topLeft());
    }

    const int width = tile.pixels.width(), height = tile.pixels.height();
    const std::uint32_t fill = toPixel(key.fill);
    tile.first.assign(size_t(height), width);
    tile.last.assign(size_t(height), -1);
    bool atEdge = false;
    for (int y = 0; y < height; ++y) {
        const auto *drawn = reinterpret_cast<const std::uint32_t *>(tile.pixels.constScanLine(y));
        const auto *covered = reinterpret_cast<const std::uint32_t *>(coverage.constScanLine(y));
        const auto reached = [&](int x) { return drawn[x] != fill || qAlpha(covered[x]) != 0; };
        // From each end to the first pixel reached: the pixels between are copied as they are.
        int first = 0;
        while (first < width && !reached(first))
            ++first;
        if (first == width)
            continue;
        int last = width - 1;
        while (!reached(last))
            --last;
        tile.first[size_t(y)] = first;
        tile.last[size_t(y)] = last;
        atEdge = atEdge || first == 0 || last == width - 1 || y == 0 || y == height - 1;
    }
    tile.whole = !atEdge;
    return tile;
}

const CaptionTile &CaptionTiles::tile(const CaptionTileKey &key, const TextMetrics &text)
{
    auto found = m_tiles.constFind(key);
    if (found != m_tiles.constEnd())
        return *found;
    CaptionTile tile = draw(key, text);
    const qint64 bytes = tile.pixels.sizeInBytes();
    if (m_bytes + m_outlines.bytes() + bytes > kBudgetBytes)
        clear();
    m_bytes += bytes;
    return *m_tiles.insert(key, std::move(tile));
}

void CaptionTiles::clear()
{
    m_tiles.clear();
    m_outlines.clear();
    m_bytes = 0;
}

} // namespace tessik
