#pragma once

#include "render/canvas.h"
#include "render/text_metrics.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <functional>

namespace tessik {

enum class MixMode { Xor = 7, Copy = 13 };

// A drawing box with a retained bitmap: everything drawn persists in the image and is shown
// from it. Shapes are rasterised here pixel by pixel (no antialiasing), so an XOR mark drawn
// twice at the same place restores every pixel. Lines, circles and text take diagram units
// through the one pixel mapping; rounded rectangles take pixels.
class Surface : public Canvas {
public:
    Surface(int pixelWidth = 0, int pixelHeight = 0);

    int pixelWidth() const { return m_image.width(); }
    int pixelHeight() const { return m_image.height(); }
    // Keeps what is drawn at the top left; new area is white. The unit size does not change.
    void resize(int pixelWidth, int pixelHeight);

    void setMapping(const PixelMapping &mapping) { m_mapping = mapping; }
    const PixelMapping &mapping() const override { return m_mapping; }

    void clear() override;

    void setPenColour(Colour colour) override { m_pen = colour; }
    Colour penColour() const { return m_pen; }
    void setFillColour(Colour colour) override { m_fill = colour; }
    Colour fillColour() const { return m_fill; }
    void setFillStyle(FillStyle style) override { m_fillStyle = style; }
    FillStyle fillStyle() const { return m_fillStyle; }
    void setMixMode(MixMode mode) { m_mix = mode; }
    MixMode mixMode() const { return m_mix; }

    // The rectangle from (left, top) to (right, bottom) in pixels, right and bottom edges
    // exclusive, its corners rounded by an ellipse cornerWidth by cornerHeight pixels. Outlined
    // with the pen, filled with the fill colour when the fill style is solid.
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;

    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    // Outline only; obeys the mix mode.
    void circle(float x, float y, float radius, Colour colour);

    const QFont &font() const { return m_text.font(); }
    void setFont(const QFont &font) { m_text = TextMetrics(font); }
    float textWidth(const QString &text) const override;
    float textHeight(const QString &text) const override;
    int textPixelWidth(const QString &text) const { return m_text.pixelWidth(text); }
    void printAt(float x, float y, const QString &text) override;

    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }
    void setCurrentX(float x) { m_currentX = x; }
    void setCurrentY(float y) { m_currentY = y; }
    // Prints at the print position in the pen colour, without a line break and without
    // filling the text background; the position moves to the end of the text.
    void print(const QString &text);

    // The pixel's colour, or -1 outside the picture.
    Colour point(int px, int py) const;

    void setRefreshListener(std::function<void()> listener) { m_refresh = std::move(listener); }
    void refresh() const;

    const QImage &image() const { return m_image; }
    // Loads a fixed picture (the key pictures): the surface takes its size.
    void setImage(const QImage &image);

    // Constant-alpha blend of the same-sized source onto this picture: every pixel becomes
    // old + (new - old) * alpha / 255 (within one unit).
    void blendFrom(const Surface &source, int alpha);

private:
    void plot(int x, int y, Colour colour);
    void span(int y, int x1, int x2, Colour colour);

    QImage m_image;
    PixelMapping m_mapping;
    TextMetrics m_text;
    Colour m_pen = kBlack;
    Colour m_fill = kBlack;
    FillStyle m_fillStyle = FillStyle::Transparent;
    MixMode m_mix = MixMode::Copy;
    float m_currentX = 0;
    float m_currentY = 0;
    std::function<void()> m_refresh;
};

} // namespace tessik
