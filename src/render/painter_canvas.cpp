#include "render/painter_canvas.h"

#include "render/fonts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tessik {

namespace {

QColor qColour(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

// One pixel of the mapping wide: scaled with the picture, unlike a cosmetic pen.
QPen outlinePen(Colour colour, Qt::PenCapStyle cap)
{
    QPen pen(qColour(colour), 1.0, Qt::SolidLine, cap, Qt::MiterJoin);
    pen.setCosmetic(false);
    return pen;
}

} // namespace

PainterCanvas::PainterCanvas(QPainter &painter, const PixelMapping &mapping, const QRect &area)
    : m_painter(painter), m_mapping(mapping), m_area(area), m_text(captionFont())
{
}

void PainterCanvas::clear()
{
    m_painter.fillRect(m_area, Qt::white);
}

void PainterCanvas::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    const double l = std::min(left, right), r = std::max(left, right);
    const double t = std::min(top, bottom), b = std::max(top, bottom);
    if (r - l < 1 || b - t < 1)
        return;
    if (r - l <= 2 || b - t <= 2) {
        // Every pixel of a box this thin is a first or last one of its row or column: all outline.
        // Stroked as a path, its rounded ends would leave the first pixel out.
        m_painter.fillRect(QRectF(l, t, r - l, b - t), qColour(m_pen));
        return;
    }
    // The outline covers the first and last pixel of every row and column, as on the window's
    // bitmap: the stroke runs through their middles, so its outer edge is the rectangle's.
    const double rx = std::min<double>(std::abs(cornerWidth), r - l) / 2.0;
    const double ry = std::min<double>(std::abs(cornerHeight), b - t) / 2.0;
    QPainterPath path;
    path.addRoundedRect(QRectF(l + 0.5, t + 0.5, r - l - 1, b - t - 1), std::max(rx - 0.5, 0.0),
                        std::max(ry - 0.5, 0.0));
    m_painter.setPen(outlinePen(m_pen, Qt::SquareCap));
    m_painter.setBrush(m_fillStyle == FillStyle::Solid ? QBrush(qColour(m_fill)) : QBrush(Qt::NoBrush));
    m_painter.drawPath(path);
}

void PainterCanvas::line(float x1, float y1, float x2, float y2, Colour colour)
{
    // Through the middles of the end pixels the window's line joins.
    const QPointF from(m_mapping.ScaleToPixelsX(x1) + 0.5, m_mapping.ScaleToPixelsY(y1) + 0.5);
    const QPointF to(m_mapping.ScaleToPixelsX(x2) + 0.5, m_mapping.ScaleToPixelsY(y2) + 0.5);
    m_painter.setPen(outlinePen(colour, Qt::SquareCap));
    m_painter.drawLine(from, to);
}

float PainterCanvas::textHeight(const QString &) const
{
    return static_cast<float>(m_text.lineHeight() / m_mapping.pixelsPerUnitY());
}

void PainterCanvas::printAt(float x, float y, const QString &text)
{
    double left = m_mapping.ScaleToPixelsX(x);
    const double baseline = m_mapping.ScaleToPixelsY(y) + m_text.ascent();
    m_painter.setFont(m_text.font());
    m_painter.setPen(qColour(m_pen));
    for (const QChar c : text) {
        if (!c.isSpace())
            m_painter.drawText(QPointF(left, baseline), QString(c));
        left += m_text.advance(c);
    }
}

} // namespace tessik
