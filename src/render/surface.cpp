#include "render/surface.h"

#include "render/fonts.h"
#include "render/large_picture.h"
#include "render/raster.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <thread>

namespace tessik {

using namespace raster;

Surface::Surface(int pixelWidth, int pixelHeight)
    : m_text(captionFont()), m_drawingThreads(int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u)))
{
    allocate(pixelWidth, pixelHeight, false);
}

namespace {

// A rounded rectangle in device pixels, row by row: left, top, right and bottom (right and bottom
// exclusive) and the corner ellipse's radii.
struct BoxShape {
    std::int64_t l = 0, t = 0, r = 0, b = 0;
    double rx = 0, ry = 0;

    Span row(std::int64_t y) const
    {
        if (y < t || y >= b)
            return {};
        const double cy = double(y) + 0.5;
        double dy = 0;
        if (cy < double(t) + ry)
            dy = double(t) + ry - cy;
        else if (cy > double(b) - ry)
            dy = cy - (double(b) - ry);
        // A row in a corner lies half a row inside the ellipse at least (0 < dy < ry), so the
        // square root below is of a positive number.
        if (dy <= 0 || rx <= 0)
            return {l, r - 1};
        const double dx = rx * std::sqrt(1.0 - (dy / ry) * (dy / ry));
        return {std::int64_t(std::ceil(double(l) + rx - dx - 0.5)),
                std::int64_t(std::floor(double(r) - rx + dx - 0.5))};
    }
    // The pixels of the row that the fill, not the outline, covers.
    Span inside(std::int64_t y) const { return innerOfRow(row(y), row(y - 1), row(y + 1)).inner; }
};

// The box from (l, t) to (r, b), corners scaled alike; none when it is empty.
std::optional<BoxShape> shapeOf(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, int cornerWidth,
                                int cornerHeight, double scale)
{
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    if (r - l < 1 || b - t < 1)
        return std::nullopt;
    // The corner ellipse never exceeds the rectangle.
    const double rx = std::min<double>(std::abs(cornerWidth) * scale, double(r - l)) / 2.0;
    const double ry = std::min<double>(std::abs(cornerHeight) * scale, double(b - t)) / 2.0;
    return BoxShape{l, t, r, b, rx, ry};
}

void copyTopLeft(const QImage &from, QImage &to)
{
    const int rows = std::min(to.height(), from.height());
    const int bytes = std::min(to.width(), from.width()) * 4;
    for (int y = 0; y < rows; ++y)
        std::memcpy(to.scanLine(y), from.constScanLine(y), size_t(bytes));
}

} // namespace

void Surface::allocate(int pixelWidth, int pixelHeight, bool keepPicture)
{
    Q_ASSERT(!m_frame.holding());
    pixelWidth = std::max(pixelWidth, 0);
    pixelHeight = std::max(pixelHeight, 0);
    QImage image =
        whitePicture(int(std::ceil(pixelWidth * m_ratio)), int(std::ceil(pixelHeight * m_ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(m_ratio);
    if (keepPicture) {
        copyTopLeft(m_image, image);
        drawPendingPlain();
    }
    m_plainPending.clear();
    m_plainCleared.stop();
    m_image = image;
    if (!needsPlain()) {
        m_plain = QImage();
    } else {
        QImage plain = whitePicture(pixelWidth, pixelHeight, QImage::Format_RGB32);
        if (keepPicture && !m_plain.isNull())
            copyTopLeft(m_plain, plain);
        m_plain = plain;
    }
    m_width = pixelWidth;
    m_height = pixelHeight;
    changedAll();
}

Surface::Placement Surface::shownPlacement() const
{
    if (m_view.isStartup())
        return {m_ratio};
    return {m_ratio * m_view.zoom, std::llround(m_view.left * m_ratio), std::llround(m_view.top * m_ratio)};
}

Surface::Placement Surface::shownRows(int firstRow, int endRow) const
{
    Placement at = shownPlacement();
    at.firstRow = firstRow;
    at.endRow = endRow;
    return at;
}

template <typename Draw> void Surface::forEachPicture(Draw draw, HeldDrawing::Rows rows)
{
    if (m_frame.holding()) {
        // Done before endFrame returns, while this surface and its view stay as they are.
        m_frame.hold([this, draw](QImage &picture, int firstRow,
                                  int endRow) { draw(*this, picture, shownRows(firstRow, endRow), nullptr); },
                     rows);
    } else {
        DeviceArea touched;
        draw(*this, m_image, shownPlacement(), &touched);
        changed(touched);
    }
    keepForPlain(draw);
}

template <typename Draw> void Surface::keepForPlain(Draw draw)
{
    if (m_plain.isNull())
        return;
    // Marks dragged about in XOR pile up without a redraw; past this many they are drawn.
    constexpr size_t kMostPending = 4096;
    if (m_plainPending.size() >= kMostPending)
        drawPendingPlain();
    m_plainPending.emplace_back(
        [draw](const Surface &self, QImage &plain) { draw(self, plain, Placement{1}, nullptr); });
}

void Surface::drawPendingPlain() const
{
    // Taken out first: a call's drawing never adds to the list it is replayed from.
    const auto pending = std::move(m_plainPending);
    m_plainPending.clear();
    m_plainCleared.stop();
    for (const auto &draw : pending)
        draw(*this, m_plain);
}

void Surface::DeviceArea::add(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b)
{
    if (left > right) {
        *this = {l, t, r, b};
        return;
    }
    left = std::min(left, l);
    top = std::min(top, t);
    right = std::max(right, r);
    bottom = std::max(bottom, b);
}

void Surface::setMapping(const PixelMapping &mapping)
{
    Q_ASSERT(!m_frame.holding());
    // The calls kept for the plain picture place their shapes through the mapping they were made in.
    drawPendingPlain();
    m_mapping = mapping;
    m_foundCaptions.clear();
    m_layouts.clear();
}

void Surface::setFont(const QFont &font)
{
    Q_ASSERT(!m_frame.holding());
    drawPendingPlain();
    m_text = TextMetrics(font);
    m_captions.clear();
    m_foundCaptions.clear();
    m_layouts.clear();
}

void Surface::resize(int pixelWidth, int pixelHeight)
{
    if (std::max(pixelWidth, 0) == m_width && std::max(pixelHeight, 0) == m_height)
        return;
    allocate(pixelWidth, pixelHeight, true);
}

void Surface::setDevicePixelRatio(qreal ratio)
{
    if (!(ratio > 0) || !std::isfinite(ratio))
        ratio = 1;
    if (ratio == m_ratio)
        return;
    m_ratio = ratio;
    m_captions.clear();
    allocate(m_width, m_height, false);
}

void Surface::setView(const PlaneView &view)
{
    PlaneView kept = view;
    kept.zoom = std::isfinite(view.zoom) ? std::clamp(view.zoom, PlaneView::kMinZoom, PlaneView::kMaxZoom) : 1.0;
    if (kept == m_view)
        return;
    m_view = kept;
    allocate(m_width, m_height, false);
}

std::int64_t Surface::toDevice(std::int64_t pixels, qreal ratio)
{
    return ratio == 1 ? pixels : std::llround(double(pixels) * ratio);
}

void Surface::changed(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    left = std::max<std::int64_t>(left, 0);
    top = std::max<std::int64_t>(top, 0);
    right = std::min<std::int64_t>(right, m_image.width() - 1);
    bottom = std::min<std::int64_t>(bottom, m_image.height() - 1);
    if (left > right || top > bottom)
        return;
    m_changed |= QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}

QRect Surface::takeChangedArea()
{
    Q_ASSERT(!m_frame.holding());
    const QRect device = m_changed;
    m_changed = QRect();
    if (device.isEmpty())
        return QRect();
    // Every pixel of the mapping that holds a changed device pixel.
    const int left = int(std::floor(device.left() / m_ratio));
    const int top = int(std::floor(device.top() / m_ratio));
    const int right = int(std::ceil((device.right() + 1) / m_ratio));
    const int bottom = int(std::ceil((device.bottom() + 1) / m_ratio));
    return QRect(left, top, right - left, bottom - top).intersected(QRect(0, 0, m_width, m_height));
}

void Surface::clear()
{
    // Nothing drawn before a clear shows after it.
    m_plainPending.clear();
    m_plainCleared.stop();
    forEachPicture([](const Surface &, QImage &image, const Placement &at, DeviceArea *) {
        const Pixels pixels = writablePixels(image, Ink{}, at);
        for (int y = pixels.firstRow; y < pixels.endRow; ++y)
            span(pixels, y, 0, pixels.width - 1, kWhite);
    });
    changedAll();
}

void Surface::endFrame()
{
    m_heldBox = {};
    m_foundCaptions.endFrame();
    m_frame.finish(m_image, m_drawingThreads);
    changedAll();
}

void Surface::clearAround(const QList<RoundedBox> &solidBoxes)
{
    // In XOR mode a box does not hide what lies under it.
    if (m_ink.mix != MixMode::Copy)
        return clear();
    forEachPicture([solidBoxes](const Surface &self, QImage &image, const Placement &at, DeviceArea *) {
        self.clearAroundOn(image, at, solidBoxes);
    });
    changedAll();
    // Once every one of these boxes is drawn solid over its own pixels, what the plain picture
    // had before this call shows nowhere: the calls kept for it are dropped then.
    if (!m_plainPending.empty()) {
        m_plainClearedAt = m_plainPending.size() - 1;
        m_plainCleared.start(solidBoxes);
    }
}

void Surface::dropHiddenPlainCalls()
{
    if (!m_plainCleared.allDrawnOver())
        return;
    m_plainPending.erase(m_plainPending.begin(), m_plainPending.begin() + qsizetype(m_plainClearedAt));
    m_plainCleared.stop();
}

void Surface::clearAroundOn(QImage &image, const Placement &at, const QList<RoundedBox> &solidBoxes) const
{
    std::vector<BoxShape> shapes;
    for (const RoundedBox &box : solidBoxes) {
        const std::optional<BoxShape> shape =
            shapeOf(at.deviceX(box.left), at.deviceY(box.top), at.deviceX(box.right), at.deviceY(box.bottom),
                    box.cornerWidth, box.cornerHeight, at.scale);
        if (shape && shape->r > 0 && shape->b > 0 && shape->l < image.width() && shape->t < image.height())
            shapes.push_back(*shape);
    }
    const Pixels pixels = writablePixels(image, Ink{}, at);
    // Swept down the rows: a shape is taken in at its first row and let go after its last, so a
    // row looks only at the few shapes it crosses.
    std::sort(shapes.begin(), shapes.end(), [](const BoxShape &a, const BoxShape &b) { return a.t < b.t; });
    size_t next = 0;
    std::vector<const BoxShape *> crossing;
    std::vector<Span> covered;
    for (int y = pixels.firstRow; y < pixels.endRow; ++y) {
        for (; next < shapes.size() && shapes[next].t <= y; ++next)
            crossing.push_back(&shapes[next]);
        std::erase_if(crossing, [y](const BoxShape *shape) { return shape->b <= y; });
        covered.clear();
        for (const BoxShape *shape : crossing) {
            if (const Span row = shape->row(y); !row.empty())
                covered.push_back(row);
        }
        std::sort(covered.begin(), covered.end(), [](const Span &a, const Span &b) { return a.from < b.from; });
        std::int64_t x = 0;
        for (const Span &part : covered) {
            span(pixels, y, x, part.from - 1, kWhite);
            x = std::max(x, part.to + 1);
        }
        span(pixels, y, x, pixels.width - 1, kWhite);
    }
}

Surface::Pixels Surface::writablePixels(QImage &image, const Ink &ink, const Placement &at)
{
    // bits() detaches a shared picture; once per shape is enough.
    return {reinterpret_cast<std::uint32_t *>(image.bits()),
            image.bytesPerLine() / 4,
            image.width(),
            std::max(at.firstRow, 0),
            std::min(at.endRow, image.height()),
            ink.mix == MixMode::Xor};
}

void Surface::plot(const Pixels &pixels, int x, int y, Colour colour)
{
    if (x < 0 || y < pixels.firstRow || x >= pixels.width || y >= pixels.endRow)
        return;
    std::uint32_t *pixel = pixels.row(y) + x;
    if (pixels.xor_)
        *pixel ^= toPixel(colour) & 0x00ffffffu;
    else
        *pixel = toPixel(colour);
}

void Surface::span(const Pixels &pixels, int y, std::int64_t from, std::int64_t to, Colour colour)
{
    if (y < pixels.firstRow || y >= pixels.endRow)
        return;
    // Clamped to the row, where an int holds it; a span wholly outside comes out empty.
    const int x1 = int(std::clamp<std::int64_t>(from, 0, pixels.width));
    const int x2 = int(std::clamp<std::int64_t>(to, -1, pixels.width - 1));
    if (x2 < x1)
        return;
    std::uint32_t *pixel = pixels.row(y) + x1;
    const std::uint32_t value = toPixel(colour);
    if (pixels.xor_) {
        for (int x = x1; x <= x2; ++x)
            *pixel++ ^= value & 0x00ffffffu;
    } else {
        fillPixels(pixel, x2 - x1 + 1, value);
    }
}

void Surface::roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    forEachPicture([=, ink = m_ink](const Surface &self, QImage &image, const Placement &at, DeviceArea *touched) {
        self.roundRectOn(image, at, touched, ink, {left, top, right, bottom}, cornerWidth, cornerHeight, std::nullopt);
    });
    if (m_ink.mix == MixMode::Copy && m_ink.fillStyle == FillStyle::Solid) {
        m_plainCleared.drawnWhole({left, top, right, bottom, cornerWidth, cornerHeight});
        dropHiddenPlainCalls();
        if (m_frame.holding())
            m_heldBox = {m_frame.heldCount(), {left, top, right, bottom, cornerWidth, cornerHeight}, m_ink};
    }
}

void Surface::roundRectUnder(const RoundedBox &box, const RoundedBox &hiddenBy)
{
    // Only a solid box drawn in copy mode hides every pixel it covers.
    const bool hides = m_ink.mix == MixMode::Copy && m_ink.fillStyle == FillStyle::Solid;
    const std::optional<RoundedBox> hider = hides ? std::optional(hiddenBy) : std::nullopt;
    forEachPicture([=, ink = m_ink](const Surface &self, QImage &image, const Placement &at, DeviceArea *touched) {
        self.roundRectOn(image, at, touched, ink, {box.left, box.top, box.right, box.bottom}, box.cornerWidth,
                         box.cornerHeight, hider);
    });
    if (hides) {
        m_plainCleared.drawnUnder(box, hiddenBy);
        dropHiddenPlainCalls();
    }
}

void Surface::roundRectOn(QImage &image, const Placement &at, DeviceArea *touched, const Ink &ink,
                          const PixelRect &rect, int cornerWidth, int cornerHeight,
                          const std::optional<RoundedBox> &hiddenBy, const CaptionCopy *caption) const
{
    const std::optional<BoxShape> shape = shapeOf(at.deviceX(rect.left), at.deviceY(rect.top), at.deviceX(rect.right),
                                                  at.deviceY(rect.bottom), cornerWidth, cornerHeight, at.scale);
    // A box wholly outside the picture (most of them when zoomed in) draws nothing.
    if (!shape || shape->r <= 0 || shape->b <= 0 || shape->l >= image.width() || shape->t >= image.height())
        return;
    if (touched)
        touched->add(shape->l, shape->t, shape->r - 1, shape->b - 1);
    const bool fill = ink.fillStyle == FillStyle::Solid;
    const Pixels pixels = writablePixels(image, ink, at);
    // An empty shape hides nothing.
    const BoxShape hider =
        hiddenBy ? shapeOf(at.deviceX(hiddenBy->left), at.deviceY(hiddenBy->top), at.deviceX(hiddenBy->right),
                           at.deviceY(hiddenBy->bottom), hiddenBy->cornerWidth, hiddenBy->cornerHeight, at.scale)
                       .value_or(BoxShape())
                 : BoxShape();
    // The caption's rows lie within the fill's, row for row, both in rising order.
    auto run = caption ? caption->runs.begin() : std::vector<CaptionCopy::Run>::const_iterator();
    drawConvex(
        shape->t, shape->b - 1, [&](std::int64_t y) { return shape->row(y); }, pixels.firstRow, pixels.endRow,
        [&](int y, std::int64_t x1, std::int64_t x2, bool outline) {
            if (!outline && !fill)
                return;
            if (caption && !outline) {
                while (run != caption->runs.end() && run->y < y)
                    ++run;
                if (run != caption->runs.end() && run->y == y) {
                    span(pixels, y, x1, run->from - 1, ink.fill);
                    copyRun(image, *caption, *run);
                    return span(pixels, y, run->to + 1, x2, ink.fill);
                }
            }
            const Colour colour = outline ? ink.pen : ink.fill;
            const Span hidden = hider.row(y);
            if (hidden.empty() || hidden.to < x1 || hidden.from > x2)
                return span(pixels, y, x1, x2, colour);
            span(pixels, y, x1, hidden.from - 1, colour);
            span(pixels, y, hidden.to + 1, x2, colour);
        });
}

void Surface::line(float x1, float y1, float x2, float y2, Colour colour)
{
    forEachPicture([=, ink = m_ink](const Surface &self, QImage &image, const Placement &at, DeviceArea *touched) {
        double px1 = double(self.m_mapping.scaleToDeviceX(x1, at.scale)) - double(at.x);
        double py1 = double(self.m_mapping.scaleToDeviceY(y1, at.scale)) - double(at.y);
        double px2 = double(self.m_mapping.scaleToDeviceX(x2, at.scale)) - double(at.x);
        double py2 = double(self.m_mapping.scaleToDeviceY(y2, at.scale)) - double(at.y);
        if (clipToPicture(image, px1, py1, px2, py2))
            drawSegment(writablePixels(image, ink, at), touched, {int(px1), int(py1), int(px2), int(py2)}, colour);
    });
}

bool Surface::clipToPicture(const QImage &image, double &x1, double &y1, double &x2, double &y2)
{
    // Clipped to just outside the picture, so a block stored far away costs nothing
    // (Liang-Barsky: the part of the segment between the entry and exit parameters stays).
    const double minX = -1, minY = -1, maxX = image.width(), maxY = image.height();
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - minX, maxX - x1, y1 - minY, maxY - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double ratio = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, ratio);
        else
            t1 = std::min(t1, ratio);
    }
    if (t0 > t1)
        return false;
    const double enterX = x1 + t0 * dx, enterY = y1 + t0 * dy;
    x2 = std::round(x1 + t1 * dx);
    y2 = std::round(y1 + t1 * dy);
    x1 = std::round(enterX);
    y1 = std::round(enterY);
    return true;
}

void Surface::drawSegment(const Pixels &pixels, DeviceArea *touched, const DeviceSegment &segment, Colour colour)
{
    // Bresenham: one pixel per step along the longer axis, both ends included.
    if (touched)
        touched->add(std::min(segment.x1, segment.x2), std::min(segment.y1, segment.y2),
                     std::max(segment.x1, segment.x2), std::max(segment.y1, segment.y2));
    int x = segment.x1, y = segment.y1;
    const int dx = std::abs(segment.x2 - x), sx = x < segment.x2 ? 1 : -1;
    const int dy = -std::abs(segment.y2 - y), sy = y < segment.y2 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        plot(pixels, x, y, colour);
        if (x == segment.x2 && y == segment.y2)
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
    forEachPicture([=, ink = m_ink](const Surface &self, QImage &image, const Placement &at, DeviceArea *touched) {
        self.circleOn(image, at, touched, ink, x, y, radius, colour);
    });
}

void Surface::circleOn(QImage &image, const Placement &at, DeviceArea *touched, const Ink &ink, float x, float y,
                       float radius, Colour colour) const
{
    const double cx = (double(x) - m_mapping.DiagramLeft) * m_mapping.pixelsPerUnitX() * at.scale - double(at.x);
    const double cy = (double(y) - m_mapping.DiagramTop) * m_mapping.pixelsPerUnitY() * at.scale - double(at.y);
    const double rp = std::abs(double(radius)) * m_mapping.pixelsPerUnitX() * at.scale;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(rp))
        return;
    if (cx + rp < -1 || cy + rp < -1 || cx - rp > image.width() + 1 || cy - rp > image.height() + 1)
        return;
    const auto firstRow = std::int64_t(std::floor(cy - rp - 1));
    const auto lastRow = std::int64_t(std::ceil(cy + rp + 1));
    if (touched)
        touched->add(std::int64_t(std::floor(cx - rp - 1)), firstRow, std::int64_t(std::ceil(cx + rp + 1)), lastRow);
    auto rowSpan = [&](std::int64_t row) -> Span {
        const double dy = double(row) + 0.5 - cy;
        if (std::abs(dy) > rp)
            return {};
        const double dx = std::sqrt(rp * rp - dy * dy);
        return {std::int64_t(std::ceil(cx - dx - 0.5)), std::int64_t(std::floor(cx + dx - 0.5))};
    };
    const Pixels pixels = writablePixels(image, ink, at);
    drawConvex(firstRow, lastRow, rowSpan, pixels.firstRow, pixels.endRow,
               [&](int row, std::int64_t x1, std::int64_t x2, bool outline) {
                   if (outline)
                       span(pixels, row, x1, x2, colour);
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
    forEachPicture([=, pen = m_ink.pen](const Surface &self, QImage &image, const Placement &at,
                                        DeviceArea *touched) { self.printOn(image, at, touched, pen, px, py, text); },
                   HeldDrawing::Rows::Whole);
    m_currentX += textWidth(text);
}

bool Surface::printsOn(const QImage &image, const Placement &at, int px, int py) const
{
    return at.deviceX(px) < image.width() && at.deviceY(py) < image.height() &&
           at.deviceY(std::int64_t(py) + m_text.lineHeight()) > 0;
}

void Surface::printOn(QImage &image, const Placement &at, DeviceArea *touched, Colour pen, int px, int py,
                      const QString &text) const
{
    if (!printsOn(image, at, px, py))
        return;
    // The painter works on the image's own device pixels, so the glyphs are drawn from a
    // font of the device size rather than enlarged.
    QImage device(image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format());
    QPainter painter(&device);
    painter.setPen(QColor(redOf(pen), greenOf(pen), blueOf(pen)));
    const QPointF origin(px * at.scale - double(at.x), (py + m_text.ascent()) * at.scale - double(at.y));
    m_text.drawText(painter, origin, text, at.scale);
    if (touched)
        markPrinted(*touched, at, px, py, text);
}

void Surface::markPrinted(DeviceArea &touched, const Placement &at, int px, int py, const QString &text) const
{
    const int lineHeight = m_text.lineHeight();
    // Glyphs may reach a little past their advances.
    const int margin = std::max(2, lineHeight / 4);
    touched.add(at.deviceX(px - margin), at.deviceY(py - margin),
                at.deviceX(std::int64_t(px) + m_text.pixelWidth(text) + margin), at.deviceY(py + lineHeight + margin));
}

void Surface::printCaption(const QList<PlacedLine> &lines, const RoundedBox &box)
{
    // The kept pictures hold the glyphs over the box's fill: an XOR box or a hollow one has none.
    if (m_ink.mix != MixMode::Copy || m_ink.fillStyle != FillStyle::Solid || m_image.isNull())
        return Canvas::printCaption(lines, box);
    auto draw = [=, ink = m_ink](const Surface &self, QImage &image, const Placement &at, DeviceArea *touched) {
        const bool copied = self.copyCaption(image, at, ink, lines, box);
        for (const PlacedLine &line : lines) {
            if (line.text.isEmpty())
                continue;
            const int px = self.m_mapping.ScaleToPixelsX(line.x), py = self.m_mapping.ScaleToPixelsY(line.y);
            if (!copied)
                self.printOn(image, at, touched, ink.pen, px, py, line.text);
            else if (touched && self.printsOn(image, at, px, py))
                self.markPrinted(*touched, at, px, py, line.text);
        }
    };
    // The kept picture is found here, where the tiles are kept: a frame's threads only copy rows.
    FoundCaptions::Found copy;
    if (m_frame.holding()) {
        const Placement at = shownPlacement();
        copy = m_foundCaptions.take({lines, box, at.scale, at.x, at.y, m_ink.pen, m_ink.fill, m_image.size()},
                                    [&] { return captionCopy(m_image, at, m_ink, lines, box); });
    }
    if (copy && m_heldBox.at == m_frame.heldCount() && m_heldBox.box == box) {
        // Right after its box, the two are drawn together, the fill leaving out the caption's rows.
        m_frame.replaceLast([this, copy, held = m_heldBox](QImage &picture, int firstRow, int endRow) {
            roundRectOn(picture, shownRows(firstRow, endRow), nullptr, held.ink,
                        {held.box.left, held.box.top, held.box.right, held.box.bottom}, held.box.cornerWidth,
                        held.box.cornerHeight, std::nullopt, copy.get());
        });
        m_heldBox = {};
        keepForPlain(draw);
    } else if (copy) {
        m_frame.hold([this, copy](QImage &picture, int firstRow,
                                  int endRow) { copyRuns(picture, shownRows(firstRow, endRow), *copy); },
                     HeldDrawing::Rows::AnyBand);
        keepForPlain(draw);
    } else {
        // Glyphs drawn through a painter take the whole picture.
        forEachPicture(draw, HeldDrawing::Rows::Whole);
    }
    for (const PlacedLine &line : lines) {
        m_currentX = line.x + (line.text.isEmpty() ? 0.0f : textWidth(line.text));
        m_currentY = line.y;
    }
}

std::optional<CaptionCopy> Surface::captionCopy(const QImage &image, const Placement &at, const Ink &ink,
                                                const QList<PlacedLine> &lines, const RoundedBox &box) const
{
    // Where the glyphs of each line that printOn draws start, as printOn places them.
    CaptionTileKey key{{}, {}, at.scale, ink.pen, ink.fill};
    QPoint base;
    for (const PlacedLine &line : lines) {
        const int px = m_mapping.ScaleToPixelsX(line.x), py = m_mapping.ScaleToPixelsY(line.y);
        if (line.text.isEmpty() || !printsOn(image, at, px, py))
            continue;
        const QPointF origin(px * at.scale - double(at.x), (py + m_text.ascent()) * at.scale - double(at.y));
        // Far off in the plane (hand-edited positions), whole pixels would not fit an int.
        constexpr double kFar = 1 << 28;
        if (std::abs(origin.x()) > kFar || std::abs(origin.y()) > kFar)
            return std::nullopt;
        if (key.lines.isEmpty())
            base = QPoint(int(std::floor(origin.x())), int(std::floor(origin.y())));
        key.lines.append(line.text);
        key.origins.append(origin - QPointF(base));
    }
    // Zoomed in, most captions lie wholly outside the picture: nothing of them is drawn.
    if (key.lines.isEmpty() || !captionTileArea(key, m_text).translated(base).intersects(image.rect()))
        return CaptionCopy{};
    const std::optional<BoxShape> shape = shapeOf(at.deviceX(box.left), at.deviceY(box.top), at.deviceX(box.right),
                                                  at.deviceY(box.bottom), box.cornerWidth, box.cornerHeight, at.scale);
    const CaptionTile &tile = m_captions.tile(key, m_text);
    if (!shape || !tile.whole)
        return std::nullopt;
    // Every pixel a glyph reaches must lie on the box's fill, where the tile was drawn.
    CaptionCopy copy{tile.pixels, base + tile.area.topLeft(), {}};
    for (int row = 0; row < tile.pixels.height(); ++row) {
        const int y = copy.corner.y() + row;
        const int from = std::max(copy.corner.x() + tile.first[size_t(row)], 0);
        const int to = std::min(copy.corner.x() + tile.last[size_t(row)], image.width() - 1);
        if (y < 0 || y >= image.height() || from > to)
            continue;
        const Span inside = shape->inside(y);
        if (from < inside.from || to > inside.to)
            return std::nullopt;
        copy.runs.push_back({y, from, to});
    }
    return copy;
}

void Surface::copyRuns(QImage &image, const Placement &at, const CaptionCopy &copy)
{
    for (const CaptionCopy::Run &run : copy.runs) {
        if (run.y >= at.firstRow && run.y < at.endRow)
            copyRun(image, copy, run);
    }
}

void Surface::copyRun(QImage &image, const CaptionCopy &copy, const CaptionCopy::Run &run)
{
    std::memcpy(image.bits() + run.y * image.bytesPerLine() + 4 * size_t(run.from),
                copy.pixels.constScanLine(run.y - copy.corner.y()) + 4 * size_t(run.from - copy.corner.x()),
                4 * size_t(run.to - run.from + 1));
}

bool Surface::copyCaption(QImage &image, const Placement &at, const Ink &ink, const QList<PlacedLine> &lines,
                          const RoundedBox &box) const
{
    const std::optional<CaptionCopy> copy = captionCopy(image, at, ink, lines, box);
    if (copy)
        copyRuns(image, at, *copy);
    return copy.has_value();
}

void Surface::printAt(float x, float y, const QString &text)
{
    m_currentX = x;
    m_currentY = y;
    print(text);
}

Colour Surface::point(int px, int py) const
{
    Q_ASSERT(!m_frame.holding());
    if (px < 0 || py < 0 || px >= m_width || py >= m_height)
        return -1;
    if (!m_view.isStartup()) {
        drawPendingPlain();
        return fromPixel(reinterpret_cast<const std::uint32_t *>(m_plain.constScanLine(py))[px]);
    }
    const int x = m_ratio == 1 ? px : int(px * m_ratio);
    const int y = m_ratio == 1 ? py : int(py * m_ratio);
    return fromPixel(reinterpret_cast<const std::uint32_t *>(m_image.constScanLine(y))[x]);
}

void Surface::refresh()
{
    Q_ASSERT(!m_frame.holding());
    const QRect area = takeChangedArea();
    if (m_refresh)
        m_refresh(area);
}

QImage Surface::logicalImage() const
{
    Q_ASSERT(!m_frame.holding());
    drawPendingPlain();
    return m_plain.isNull() ? m_image : m_plain;
}

void Surface::setImage(const QImage &image)
{
    Q_ASSERT(!m_frame.holding());
    m_plainPending.clear();
    m_plainCleared.stop();
    m_image = image.convertToFormat(QImage::Format_RGB32);
    m_ratio = m_image.devicePixelRatio();
    m_width = int(std::lround(m_image.width() / m_ratio));
    m_height = int(std::lround(m_image.height() / m_ratio));
    // A fixed picture has no drawing of its own at one pixel a pixel; its reduction stands in.
    m_plain =
        m_ratio == 1 ? QImage() : m_image.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_plain.setDevicePixelRatio(1);
    changedAll();
}

void Surface::blendFrom(const Surface &source, int alpha)
{
    Q_ASSERT(!m_frame.holding());
    // A picture blended onto itself stays as it is; the byte loop below may not alias.
    if (&source == this)
        return;
    alpha = std::clamp(alpha, 0, 255);
    const int columns = std::min(m_image.width(), source.m_image.width());
    const int rows = std::min(m_image.height(), source.m_image.height());
    blendPicture(m_image, source.m_image, alpha);
    if (!m_plain.isNull()) {
        drawPendingPlain();
        blendPicture(m_plain, source.logicalImage(), alpha);
    }
    changed(0, 0, columns - 1, rows - 1);
}

void Surface::blendPicture(QImage &target, const QImage &source, int alpha)
{
    const int rows = std::min(target.height(), source.height());
    const int columns = std::min(target.width(), source.width());
    // Scale alpha to 0..256 so the division becomes a shift; the error stays below one unit.
    const auto a = std::uint16_t(alpha * 256 / 255 + (alpha * 256 % 255 >= 128 ? 1 : 0));
    const auto keep = std::uint16_t(256 - a);
    for (int y = 0; y < rows; ++y) {
        auto *dst = target.scanLine(y);
        const auto *src = source.constScanLine(y);
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
