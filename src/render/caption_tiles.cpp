#include "render/caption_tiles.h"

#include "render/text_metrics.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessik {

namespace {

// At 400 % on a dense screen a 100-block picture holds a few dozen megabytes of captions.
constexpr qint64 kBudgetBytes = 160 * 1024 * 1024;

void drawLines(QImage &image, const CaptionTileKey &key, const TextMetrics &text, QPoint corner)
{
    QPainter painter(&image);
    painter.setPen(QColor(redOf(key.pen), greenOf(key.pen), blueOf(key.pen)));
    for (qsizetype i = 0; i < key.lines.size(); ++i)
        text.drawText(painter, key.origins[i] - QPointF(corner), key.lines[i], key.scale);
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

CaptionTile CaptionTiles::draw(const CaptionTileKey &key, const TextMetrics &text)
{
    CaptionTile tile;
    tile.area = captionTileArea(key, text);
    tile.pixels = QImage(tile.area.size(), QImage::Format_RGB32);
    tile.pixels.fill(toPixel(key.fill));
    drawLines(tile.pixels, key, text, tile.area.topLeft());
    // The glyphs' coverage, to tell the pixels they reach even where a blend left the fill as it was.
    QImage coverage(tile.area.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    drawLines(coverage, key, text, tile.area.topLeft());

    const int width = tile.pixels.width(), height = tile.pixels.height();
    const std::uint32_t fill = toPixel(key.fill);
    tile.first.assign(size_t(height), width);
    tile.last.assign(size_t(height), -1);
    bool atEdge = false;
    for (int y = 0; y < height; ++y) {
        const auto *drawn = reinterpret_cast<const std::uint32_t *>(tile.pixels.constScanLine(y));
        const auto *covered = reinterpret_cast<const std::uint32_t *>(coverage.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (drawn[x] == fill && qAlpha(covered[x]) == 0)
                continue;
            tile.first[size_t(y)] = std::min(tile.first[size_t(y)], x);
            tile.last[size_t(y)] = x;
            atEdge = atEdge || x == 0 || y == 0 || x == width - 1 || y == height - 1;
        }
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
    if (m_bytes + bytes > kBudgetBytes)
        clear();
    m_bytes += bytes;
    return *m_tiles.insert(key, std::move(tile));
}

void CaptionTiles::clear()
{
    m_tiles.clear();
    m_bytes = 0;
}

} // namespace tessik
