#include "render/outline_glyphs.h"

#include "render/text_metrics.h"

#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <cmath>

namespace tessik {

OutlineGlyphs::Picture OutlineGlyphs::fill(const TextMetrics &text, const Key &key)
{
    // As Qt fills a run of glyphs it cannot cache: the outlines, winding, antialiased unless the
    // font says otherwise.
    QPainterPath outline = text.scaledFont(key.scale).pathForGlyph(key.glyph);
    outline.setFillRule(Qt::WindingFill);
    outline.translate(key.within);
    const QRectF bounds = outline.boundingRect();
    Picture picture;
    picture.corner = QPoint(int(std::floor(bounds.left())) - 1, int(std::floor(bounds.top())) - 1);
    const QPoint end(int(std::ceil(bounds.right())) + 1, int(std::ceil(bounds.bottom())) + 1);
    picture.pixels =
        QImage(QSize(end.x() - picture.corner.x(), end.y() - picture.corner.y()), QImage::Format_ARGB32_Premultiplied);
    picture.pixels.fill(Qt::transparent);
    if (outline.isEmpty())
        return picture;
    QPainter painter(&picture.pixels);
    painter.setRenderHint(QPainter::Antialiasing, !(text.font().styleStrategy() & QFont::NoAntialias));
    painter.translate(-picture.corner);
    painter.fillPath(outline, QColor::fromRgb(key.pen));
    return picture;
}

void OutlineGlyphs::drawText(QPainter &painter, const TextMetrics &text, QPointF origin, const QString &line,
                             qreal scale)
{
    const QRgb pen = painter.pen().color().rgb();
    text.drawText(painter, origin, line, scale, [&](quint32 glyph, QPointF at) {
        const QPoint pixel(int(std::floor(at.x())), int(std::floor(at.y())));
        const Key key{glyph, scale, at - QPointF(pixel), pen};
        auto found = m_pictures.constFind(key);
        if (found == m_pictures.constEnd()) {
            found = m_pictures.insert(key, fill(text, key));
            m_bytes += found->pixels.sizeInBytes();
        }
        painter.drawImage(pixel + found->corner, found->pixels);
    });
}

void OutlineGlyphs::clear()
{
    m_pictures.clear();
    m_bytes = 0;
}

} // namespace tessik
