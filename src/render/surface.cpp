#include "render/surface.h"

#include "render/fonts.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessik {

namespace {

struct Span {
    std::int64_t from = 0;
    std::int64_t to = -1; // empty when to < from
    bool empty() const { return to < from; }
};

// The pixels of one row of a convex shape, and which of them lie on its outline: a pixel is
// on the outline when one of its four neighbours lies outside the shape. Because the shape is
// convex, the rest of the row is one interval.
struct RowParts {
    Span inner;
};

RowParts innerOfRow(const Span &row, const Span &above, const Span &below)
{
    RowParts parts;
    if (row.empty() || above.empty() || below.empty())
        return parts;
    parts.inner.from = std::max({row.from + 1, above.from, below.from});
    parts.inner.to = std::min({row.to - 1, above.to, below.to});
    return parts;
}

// Draws a convex shape given by its row spans: the outline in the pen colour, the inside in
// the fill colour when `fillInside` is set. Each pixel is touched once, so XOR is reversible.
template <typename RowSpan>
void drawConvex(std::int64_t firstRow, std::int64_t lastRow, RowSpan rowSpan, int height,
                const std::function<void(int, std::int64_t, std::int64_t, bool)> &emit)
{
    const std::int64_t top = std::max<std::int64_t>(firstRow, 0);
    const std::int64_t bottom = std::min<std::int64_t>(lastRow, height - 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        const Span row = rowSpan(y);
        if (row.empty())
            continue;
        const Span above = y > firstRow ? rowSpan(y - 1) : Span{};
        const Span below = y < lastRow ? rowSpan(y + 1) : Span{};
        const Span inner = innerOfRow(row, above, below).inner;
        if (inner.empty()) {
            emit(int(y), row.from, row.to, true);
            continue;
        }
        emit(int(y), row.from, inner.from - 1, true);
        emit(int(y), inner.from, inner.to, false);
        emit(int(y), inner.to + 1, row.to, true);
    }
}

// The fade's blend works on plain bytes, every channel alike (the opaque alpha byte stays 255),
// in stretches of 16 pixels, one cache line; the loops are simple enough for the compiler to
// turn into vector code.
constexpr int kBlendChunk = 16;

bool sameBytes(const std::uint8_t *a, const std::uint8_t *b)
{
    std::uint64_t difference = 0;
    for (int i = 0; i < 4 * kBlendChunk; i += 8) {
        std::uint64_t u, v;
        std::memcpy(&u, a + i, 8);
        std::memcpy(&v, b + i, 8);
        difference |= u ^ v;
    }
    return difference == 0;
}

// old x keep + new x alpha, both out of 256, rounded: at most 255 x 256 + 128, so 16 bits hold it.
void blendBytes(std::uint8_t *__restrict dst, const std::uint8_t *__restrict src, int count, std::uint16_t alpha,
                std::uint16_t keep)
{
    for (int i = 0; i < count; ++i)
        dst[i] = std::uint8_t(std::uint16_t(dst[i] * keep + src[i] * alpha + 128) >> 8);
}

} // namespace

Surface::Surface(int pixelWidth, int pixelHeight)
    : m_image(std::max(pixelWidth, 0), std::max(pixelHeight, 0), QImage::Format_RGB32), m_text(captionFont())
{
    m_image.fill(Qt::white);
}

void Surface::resize(int pixelWidth, int pixelHeight)
{
    pixelWidth = std::max(pixelWidth, 0);
    pixelHeight = std::max(pixelHeight, 0);
    if (pixelWidth == m_image.width() && pixelHeight == m_image.height())
        return;
    QImage grown(pixelWidth, pixelHeight, QImage::Format_RGB32);
    grown.fill(Qt::white);
    const int rows = std::min(pixelHeight, m_image.height());
    const int bytes = std::min(pixelWidth, m_image.width()) * 4;
    for (int y = 0; y < rows; ++y)
        std::memcpy(grown.scanLine(y), m_image.constScanLine(y), size_t(bytes));
    m_image = grown;
}

void Surface::clear()
{
    m_image.fill(Qt::white);
}

void Surface::plot(int x, int y, Colour colour)
{
    if (x < 0 || y < 0 || x >= m_image.width() || y >= m_image.height())
        return;
    auto *pixel = reinterpret_cast<std::uint32_t *>(m_image.scanLine(y)) + x;
    if (m_mix == MixMode::Xor)
        *pixel ^= toPixel(colour) & 0x00ffffffu;
    else
        *pixel = toPixel(colour);
}

void Surface::span(int y, int x1, int x2, Colour colour)
{
    if (y < 0 || y >= m_image.height())
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, m_image.width() - 1);
    if (x2 < x1)
        return;
    auto *pixel = reinterpret_cast<std::uint32_t *>(m_image.scanLine(y)) + x1;
    const std::uint32_t value = toPixel(colour);
    if (m_mix == MixMode::Xor) {
        for (int x = x1; x <= x2; ++x)
            *pixel++ ^= value & 0x00ffffffu;
    } else {
        std::fill(pixel, pixel + (x2 - x1 + 1), value);
    }
}

void Surface::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    std::int64_t l = left, t = top, r = right, b = bottom;
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (r - l < 1 || b - t < 1)
        return;
    // The corner ellipse never exceeds the rectangle.
    const double rx = std::min<double>(std::abs(cornerWidth), double(r - l)) / 2.0;
    const double ry = std::min<double>(std::abs(cornerHeight), double(b - t)) / 2.0;

    auto rowSpan = [&](std::int64_t y) -> Span {
        if (y < t || y >= b)
            return {};
        const double cy = double(y) + 0.5;
        double dy = 0;
        if (cy < double(t) + ry)
            dy = double(t) + ry - cy;
        else if (cy > double(b) - ry)
            dy = cy - (double(b) - ry);
        if (dy <= 0 || ry <= 0 || rx <= 0)
            return {l, r - 1};
        if (dy > ry)
            return {};
        const double dx = rx * std::sqrt(1.0 - (dy / ry) * (dy / ry));
        return {std::int64_t(std::ceil(double(l) + rx - dx - 0.5)),
                std::int64_t(std::floor(double(r) - rx + dx - 0.5))};
    };

    const bool fill = m_fillStyle == FillStyle::Solid;
    drawConvex(t, b - 1, rowSpan, m_image.height(), [&](int y, std::int64_t x1, std::int64_t x2, bool outline) {
        if (x2 < x1 || (!outline && !fill))
            return;
        const int from = int(std::clamp<std::int64_t>(x1, -1, m_image.width()));
        const int to = int(std::clamp<std::int64_t>(x2, -1, m_image.width()));
        span(y, from, to, outline ? m_pen : m_fill);
    });
}

void Surface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    double px1 = m_mapping.ScaleToPixelsX(x1), py1 = m_mapping.ScaleToPixelsY(y1);
    double px2 = m_mapping.ScaleToPixelsX(x2), py2 = m_mapping.ScaleToPixelsY(y2);

    // Clip to just outside the picture first, so a block stored far away costs nothing.
    const double minX = -1, minY = -1, maxX = m_image.width(), maxY = m_image.height();
    auto inside = [&](double x, double y) { return x >= minX && x <= maxX && y >= minY && y <= maxY; };
    if (!inside(px1, py1) || !inside(px2, py2)) {
        double t0 = 0, t1 = 1;
        const double dx = px2 - px1, dy = py2 - py1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {px1 - minX, maxX - px1, py1 - minY, maxY - py1};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return;
                continue;
            }
            const double ratio = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, ratio);
            else
                t1 = std::min(t1, ratio);
        }
        if (t0 > t1)
            return;
        const double nx1 = px1 + t0 * dx, ny1 = py1 + t0 * dy;
        px2 = std::round(px1 + t1 * dx);
        py2 = std::round(py1 + t1 * dy);
        px1 = std::round(nx1);
        py1 = std::round(ny1);
    }

    int x = int(px1), y = int(py1);
    const int xEnd = int(px2), yEnd = int(py2);
    const int dx = std::abs(xEnd - x), sx = x < xEnd ? 1 : -1;
    const int dy = -std::abs(yEnd - y), sy = y < yEnd ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        plot(x, y, colour);
        if (x == xEnd && y == yEnd)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Surface::circle(float x, float y, float radius, Colour colour)
{
    const double cx = (double(x) - m_mapping.DiagramLeft) * m_mapping.pixelsPerUnitX();
    const double cy = (double(y) - m_mapping.DiagramTop) * m_mapping.pixelsPerUnitY();
    const double rp = std::abs(double(radius)) * m_mapping.pixelsPerUnitX();
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rp))
        return;
    if (cx + rp < -1 || cy + rp < -1 || cx - rp > m_image.width() + 1 || cy - rp > m_image.height() + 1)
        return;
    const auto firstRow = std::int64_t(std::floor(cy - rp - 1));
    const auto lastRow = std::int64_t(std::ceil(cy + rp + 1));
    auto rowSpan = [&](std::int64_t row) -> Span {
        const double dy = double(row) + 0.5 - cy;
        if (std::abs(dy) > rp)
            return {};
        const double dx = std::sqrt(rp * rp - dy * dy);
        return {std::int64_t(std::ceil(cx - dx - 0.5)), std::int64_t(std::floor(cx + dx - 0.5))};
    };
    drawConvex(firstRow, lastRow, rowSpan, m_image.height(),
               [&](int row, std::int64_t x1, std::int64_t x2, bool outline) {
                   if (!outline || x2 < x1)
                       return;
                   span(row, int(std::clamp<std::int64_t>(x1, -1, m_image.width())),
                        int(std::clamp<std::int64_t>(x2, -1, m_image.width())), colour);
               });
}

float Surface::textWidth(const QString &text) const
{
    return static_cast<float>(textPixelWidth(text) / m_mapping.pixelsPerUnitX());
}

float Surface::textHeight(const QString &) const
{
    // One line of the font, whatever the text.
    return static_cast<float>(m_text.lineHeight() / m_mapping.pixelsPerUnitY());
}

void Surface::print(const QString &text)
{
    if (text.isEmpty() || m_image.isNull())
        return;
    const int px = m_mapping.ScaleToPixelsX(m_currentX);
    const int py = m_mapping.ScaleToPixelsY(m_currentY);
    if (px < m_image.width() && py < m_image.height() && py + m_text.lineHeight() > 0) {
        QPainter painter(&m_image);
        painter.setFont(m_text.font());
        painter.setPen(QColor(redOf(m_pen), greenOf(m_pen), blueOf(m_pen)));
        painter.drawText(QPoint(px, py + m_text.ascent()), text);
    }
    m_currentX += textWidth(text);
}

void Surface::printAt(float x, float y, const QString &text)
{
    m_currentX = x;
    m_currentY = y;
    print(text);
}

Colour Surface::point(int px, int py) const
{
    if (px < 0 || py < 0 || px >= m_image.width() || py >= m_image.height())
        return -1;
    return fromPixel(reinterpret_cast<const std::uint32_t *>(m_image.constScanLine(py))[px]);
}

void Surface::refresh() const
{
    if (m_refresh)
        m_refresh();
}

void Surface::setImage(const QImage &image)
{
    m_image = image.convertToFormat(QImage::Format_RGB32);
}

void Surface::blendFrom(const Surface &source, int alpha)
{
    // A picture blended onto itself stays as it is; the byte loop below may not alias.
    if (&source == this)
        return;
    alpha = std::clamp(alpha, 0, 255);
    const int rows = std::min(m_image.height(), source.m_image.height());
    const int columns = std::min(m_image.width(), source.m_image.width());
    // Scale alpha to 0..256 so the division becomes a shift; the error stays below one unit.
    const auto a = std::uint16_t(alpha * 256 / 255 + (alpha * 256 % 255 >= 128 ? 1 : 0));
    const auto keep = std::uint16_t(256 - a);
    for (int y = 0; y < rows; ++y) {
        auto *dst = m_image.scanLine(y);
        const auto *src = source.m_image.constScanLine(y);
        // Most of a diagram is white in both pictures: stretches that are already the same
        // stay as they are and are not written, which keeps the fade within its frame budget.
        int x = 0;
        for (; x + kBlendChunk <= columns; x += kBlendChunk) {
            if (!sameBytes(dst + 4 * x, src + 4 * x))
                blendBytes(dst + 4 * x, src + 4 * x, 4 * kBlendChunk, a, keep);
        }
        blendBytes(dst + 4 * x, src + 4 * x, 4 * (columns - x), a, keep);
    }
}

} // namespace tessik
