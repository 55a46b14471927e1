#pragma once

#include "render/canvas.h"
#include "render/text_metrics.h"

#include <QRect>

class QPainter;

namespace tessik {

// The diagram's drawing calls carried out with a painter, for pictures at any scale and for
// vector formats. The painter's coordinates are pixels of the mapping, as on the window's
// surface; the caller's transform scales and places them. Shapes are aliased with outlines one
// pixel of the mapping wide, so at scale 2 every outline is two device pixels; each caption
// character stands where the caption font's measured advances put it, so a drawn line is exactly
// as wide as the width it was centred by.
class PainterCanvas : public Canvas {
public:
    // `area` is what clear() whitens, in pixels of the mapping.
    PainterCanvas(QPainter &painter, const PixelMapping &mapping, const QRect &area);

    const PixelMapping &mapping() const override { return m_mapping; }
    void clear() override;

    void setPenColour(Colour colour) override { m_pen = colour; }
    void setFillColour(Colour colour) override { m_fill = colour; }
    void setFillStyle(FillStyle style) override { m_fillStyle = style; }

    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;

    float textHeight(const QString &text) const override;
    void printAt(float x, float y, const QString &text) override;

private:
    QPainter &m_painter;
    PixelMapping m_mapping;
    QRect m_area;
    TextMetrics m_text;
    Colour m_pen = kBlack;
    Colour m_fill = kBlack;
    FillStyle m_fillStyle = FillStyle::Transparent;
};

} // namespace tessik
