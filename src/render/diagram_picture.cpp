#include "render/diagram_picture.h"

#include "render/painter_canvas.h"

#include <QPainter>

#include <algorithm>

namespace tessik {

namespace {

// Positions from hand-edited files can be anything; a rectangle this size still has a width.
constexpr std::int32_t kFarthest = 1 << 28;

std::int32_t bounded(std::int32_t pixel)
{
    return std::clamp(pixel, -kFarthest, kFarthest);
}

} // namespace

QRect diagramArea(const BlockTable &table, const PixelMapping &mapping)
{
    QRect covered;
    auto include = [&](float x1, float y1, float x2, float y2) {
        const QPoint from(bounded(mapping.ScaleToPixelsX(x1)), bounded(mapping.ScaleToPixelsY(y1)));
        const QPoint to(bounded(mapping.ScaleToPixelsX(x2)), bounded(mapping.ScaleToPixelsY(y2)));
        covered |= QRect(from, to).normalized();
    };
    for (int i : table.liveIds()) {
        const Block &block = table.block(i);
        include(block.x, block.y, block.x + BlockBoxSize + 0.5f, block.y + BlockBoxSize + 0.5f); // with its shadow
        if (block.parent > 0 && block.parent <= kMaxBlocks) {
            const Block &parent = table.block(block.parent);
            include(block.x + kHalfBox, block.y + kHalfBox, parent.x + kHalfBox, parent.y + kHalfBox);
        }
    }
    if (covered.isNull())
        return QRect(0, 0, mapping.DiagramPixelWidth, mapping.DiagramPixelHeight);
    return covered.adjusted(-kPictureMargin, -kPictureMargin, kPictureMargin, kPictureMargin);
}

QTransform fitTransform(const QRectF &area, const QRectF &target)
{
    if (area.isEmpty() || target.isEmpty())
        return QTransform();
    const double scale = std::min(target.width() / area.width(), target.height() / area.height());
    const QPointF corner =
        target.topLeft() +
        QPointF(target.width() - area.width() * scale, target.height() - area.height() * scale) / 2.0;
    return QTransform::fromTranslate(-area.left(), -area.top()) * QTransform::fromScale(scale, scale) *
           QTransform::fromTranslate(corner.x(), corner.y());
}

void paintDiagram(QPainter &painter, const QRect &area, const BlockTable &table, const DiagramColours &colours,
                  const PixelMapping &mapping)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    PainterCanvas canvas(painter, mapping, area);
    PlotDiagram(canvas, table, colours, QString());
    painter.restore();
}

} // namespace tessik
