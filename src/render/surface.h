#pragma once

#include "render/canvas.h"
#include "render/caption_copy.h"
#include "render/caption_tiles.h"
#include "render/cleared_boxes.h"
#include "render/held_drawing.h"
#include "render/plot_text.h"
#include "render/text_metrics.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace tessik {

enum class MixMode { Xor = 7, Copy = 13 };

// A drawing box with a retained bitmap: everything drawn persists in the image and is shown
// from it. Shapes are rasterised here pixel by pixel (no antialiasing), so an XOR mark drawn
// twice at the same place restores every pixel. Lines, circles and text take diagram units
// through the one pixel mapping; rounded rectangles take pixels of the mapping.
//
// On a high-density screen the image holds more device pixels than the mapping has pixels
// (the device pixel ratio): every shape and every glyph is drawn at the image's full
// resolution, outlines and lines one device pixel wide, while sizes, positions and point()
// stay in pixels of the mapping. At a ratio of 1 the two are the same.
//
// The view (zoom and scroll) works the same way: the shown picture is drawn at the ratio times
// the zoom, moved by the view's corner, so captions, corners and shadows are drawn at the size
// they are shown, never enlarged from a smaller picture. Sizes and drawing calls stay in pixels
// of the mapping, the picture keeps the view's size, and point() and logicalImage() read the
// picture of the start-up view, which is drawn beside the shown one whenever they differ.
//
// That second drawing waits until the plain picture is read: most frames are never
// snapshotted, and on a dense screen drawing it beside every frame took a third of the frame.
class Surface : public Canvas {
public:
    Surface(int pixelWidth = 0, int pixelHeight = 0);

    // The size in pixels of the mapping.
    int pixelWidth() const { return m_width; }
    int pixelHeight() const { return m_height; }
    // Keeps what is drawn at the top left; new area is white. The unit size does not change.
    void resize(int pixelWidth, int pixelHeight);

    // Device pixels per pixel of the mapping (1 or more). A change starts a white picture at the
    // new resolution: the caller draws the diagram again.
    qreal devicePixelRatio() const { return m_ratio; }
    void setDevicePixelRatio(qreal ratio);

    // A change starts a white picture in the new view: the caller draws the diagram again.
    const PlaneView &view() const { return m_view; }
    void setView(const PlaneView &view);

    void setMapping(const PixelMapping &mapping);
    const PixelMapping &mapping() const override { return m_mapping; }

    // The drawing calls between the two are done together at endFrame, on several threads on a
    // large picture; the picture comes out the same as drawn call by call. Everything counts as
    // changed then.
    void beginFrame() override { m_frame.begin(); }
    void endFrame() override;
    // At most this many threads draw a frame (1: the calling thread alone); by default one a core,
    // up to 4.
    int drawingThreads() const { return m_drawingThreads; }
    void setDrawingThreads(int threads) { m_drawingThreads = std::max(threads, 1); }

    void clear() override;
    // Leaves out the pixels the boxes will cover (when drawn in copy mode): on a dense screen
    // clearing the whole picture cost as much as drawing the boxes.
    void clearAround(const QList<RoundedBox> &solidBoxes) override;

    void setPenColour(Colour colour) override { m_ink.pen = colour; }
    Colour penColour() const { return m_ink.pen; }
    void setFillColour(Colour colour) override { m_ink.fill = colour; }
    Colour fillColour() const { return m_ink.fill; }
    void setFillStyle(FillStyle style) override { m_ink.fillStyle = style; }
    FillStyle fillStyle() const { return m_ink.fillStyle; }
    void setMixMode(MixMode mode) { m_ink.mix = mode; }
    MixMode mixMode() const { return m_ink.mix; }

    // The rectangle from (left, top) to (right, bottom) in pixels of the mapping, right and
    // bottom edges exclusive, its corners rounded by an ellipse cornerWidth by cornerHeight
    // pixels. Outlined with the pen, filled with the fill colour when the fill style is solid.
    void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;

    void roundRectUnder(const RoundedBox &box, const RoundedBox &hiddenBy) override;
    void line(float x1, float y1, float x2, float y2, Colour colour) override;
    // Outline only; obeys the mix mode.
    void circle(float x, float y, float radius, Colour colour);

    const QFont &font() const { return m_text.font(); }
    void setFont(const QFont &font);
    const TextMetrics &textMetrics() const override { return m_text; }
    // The width of a line of the caption font, in diagram units.
    float textWidth(const QString &text) const;
    float textHeight(const QString &text) const override;
    int textPixelWidth(const QString &text) const { return m_text.pixelWidth(text); }
    void printAt(float x, float y, const QString &text) override;
    // The lines come out as printAt draws them; where a kept picture of them lies wholly on the
    // box's fill, it is copied instead.
    void printCaption(const QList<PlacedLine> &lines, const RoundedBox &box) override;
    CaptionLayouts *captionLayouts() const override { return &m_layouts; }

    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }
    void setCurrentX(float x) { m_currentX = x; }
    void setCurrentY(float y) { m_currentY = y; }
    // Prints at the print position in the pen colour, without a line break and without
    // filling the text background; the position moves to the end of the text. Each character
    // sits where its measured advances put it, so the drawn width is the measured width.
    void print(const QString &text);

    // The colour at a pixel of the mapping, or -1 outside the picture.
    Colour point(int px, int py) const;

    // Refresh shows what was drawn: the listener gets the area drawn on since the last refresh
    // (pixels of the mapping), so a view repaints only that.
    void setRefreshListener(std::function<void(const QRect &changed)> listener) { m_refresh = std::move(listener); }
    void refresh();
    // The area drawn on since the last refresh, which counts as shown from now on.
    QRect takeChangedArea();

    // The retained picture in device pixels, its device pixel ratio set.
    const QImage &image() const { return m_image; }
    // The picture at one pixel per pixel of the mapping in the start-up view, exactly as a
    // surface at a ratio of 1 would hold it after the same drawing: above a ratio of 1, or in
    // another view, everything is drawn a second time at that size, because no reduction of the
    // dense picture keeps the diagram's colours and one-pixel outlines.
    QImage logicalImage() const;
    // Loads a fixed picture (the key pictures): the surface takes its size and its device pixel
    // ratio.
    void setImage(const QImage &image);

    // Constant-alpha blend of the same-sized source onto this picture: every pixel becomes
    // old + (new - old) * alpha / 255 (within one unit).
    void blendFrom(const Surface &source, int alpha);

private:
    // How shapes are drawn: the state the drawing calls read, kept with each deferred one.
    struct Ink {
        Colour pen = kBlack;
        Colour fill = kBlack;
        FillStyle fillStyle = FillStyle::Transparent;
        MixMode mix = MixMode::Copy;
    };
    // Device pixels a drawing call reached on the shown picture, both corners included.
    struct DeviceArea {
        std::int64_t left = 0, top = 0, right = -1, bottom = -1;
        void add(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b);
    };
    struct DeviceSegment {
        int x1, y1, x2, y2;
    };

    // Where pixels of the mapping land on one picture: scaled, then moved by whole device pixels;
    // and the band of the picture's rows that a drawing call writes.
    struct Placement {
        qreal scale;
        std::int64_t x = 0, y = 0;
        int firstRow = 0, endRow = std::numeric_limits<int>::max();
        std::int64_t deviceX(std::int64_t pixels) const { return toDevice(pixels, scale) - x; }
        std::int64_t deviceY(std::int64_t pixels) const { return toDevice(pixels, scale) - y; }
    };
    static std::int64_t toDevice(std::int64_t pixels, qreal ratio);
    Placement shownPlacement() const;
    // The same, drawing only the rows of a frame's band.
    Placement shownRows(int firstRow, int endRow) const;
    bool needsPlain() const { return m_ratio != 1 || !m_view.isStartup(); }
    void allocate(int pixelWidth, int pixelHeight, bool keepPicture);
    // Draws on the retained picture now and, above a ratio of 1 or in another view, on the plain
    // one when it is next read: draw(this surface, the picture, where pixels of the mapping land
    // on it, the area to mark as changed or null) is kept until then, so it holds copies of what
    // it draws and reaches the surface only through its first argument, never a captured this.
    // Held in a frame: a call that draws through a painter takes the whole picture.
    template <typename Draw> void forEachPicture(Draw draw, HeldDrawing::Rows rows = HeldDrawing::Rows::AnyBand);
    // The plain picture's part of the above.
    template <typename Draw> void keepForPlain(Draw draw);
    // Brings the plain picture up to date with the drawing calls it has not had yet.
    void drawPendingPlain() const;
    // Once the last clearAround's boxes are all drawn over, the calls before it show nowhere.
    void dropHiddenPlainCalls();
    void changed(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom);
    void changed(const DeviceArea &area) { changed(area.left, area.top, area.right, area.bottom); }
    void changedAll() { changed(0, 0, m_image.width() - 1, m_image.height() - 1); }
    struct PixelRect {
        int left, top, right, bottom;
    };
    // With a caption, the box's fill leaves out the rows of the caption's kept picture that are
    // copied onto it instead: each pixel is written once.
    void roundRectOn(QImage &image, const Placement &at, DeviceArea *touched, const Ink &ink, const PixelRect &rect,
                     int cornerWidth, int cornerHeight, const std::optional<RoundedBox> &hiddenBy,
                     const CaptionCopy *caption = nullptr) const;
    // Whether printOn draws a line starting at (px, py) on this picture.
    bool printsOn(const QImage &image, const Placement &at, int px, int py) const;
    void clearAroundOn(QImage &image, const Placement &at, const QList<RoundedBox> &solidBoxes) const;
    void printOn(QImage &image, const Placement &at, DeviceArea *touched, Colour pen, int px, int py,
                 const QString &text) const;
    void markPrinted(DeviceArea &touched, const Placement &at, int px, int py, const QString &text) const;
    // The caption's kept picture for this picture: nothing when its glyphs must be drawn.
    std::optional<CaptionCopy> captionCopy(const QImage &image, const Placement &at, const Ink &ink,
                                           const QList<PlacedLine> &lines, const RoundedBox &box) const;
    static void copyRuns(QImage &image, const Placement &at, const CaptionCopy &copy);
    static void copyRun(QImage &image, const CaptionCopy &copy, const CaptionCopy::Run &run);
    bool copyCaption(QImage &image, const Placement &at, const Ink &ink, const QList<PlacedLine> &lines,
                     const RoundedBox &box) const;
    void circleOn(QImage &image, const Placement &at, DeviceArea *touched, const Ink &ink, float x, float y,
                  float radius, Colour colour) const;
    static bool clipToPicture(const QImage &image, double &x1, double &y1, double &x2, double &y2);
    static void blendPicture(QImage &target, const QImage &source, int alpha);
    // The image's pixels for one shape's writes.
    struct Pixels {
        std::uint32_t *first;
        qsizetype stride; // pixels from one row to the next
        int width;
        int firstRow, endRow; // the rows of the picture this shape may write
        bool xor_;
        std::uint32_t *row(int y) const { return first + y * stride; }
    };
    static Pixels writablePixels(QImage &image, const Ink &ink, const Placement &at);
    static void drawSegment(const Pixels &pixels, DeviceArea *touched, const DeviceSegment &segment, Colour colour);
    static void plot(const Pixels &pixels, int x, int y, Colour colour);
    static void span(const Pixels &pixels, int y, std::int64_t from, std::int64_t to, Colour colour);

    QImage m_image;
    // One pixel a pixel of the mapping, start-up view; only when the shown one differs. Drawn on
    // when read, from the calls kept for it.
    mutable QImage m_plain;
    mutable std::vector<std::function<void(const Surface &self, QImage &plain)>> m_plainPending;
    // The last clearAround's place in the list above, and whether its boxes are drawn over yet.
    mutable ClearedBoxes m_plainCleared;
    size_t m_plainClearedAt = 0;
    int m_width = 0;
    int m_height = 0;
    qreal m_ratio = 1;
    PlaneView m_view;
    QRect m_changed; // device pixels
    PixelMapping m_mapping;
    TextMetrics m_text;
    mutable CaptionTiles m_captions;  // a cache: drawing from it or anew looks the same
    FoundCaptions m_foundCaptions;    // the same for finding a frame's captions in the tiles
    mutable CaptionLayouts m_layouts; // and for laying them out
    Ink m_ink;
    float m_currentX = 0;
    float m_currentY = 0;
    std::function<void(const QRect &)> m_refresh;
    HeldDrawing m_frame;
    // The solid box a frame holds last, which the caption printed next may be drawn with.
    struct HeldBox {
        size_t at = 0; // in the frame's calls, plus one; 0 for none
        RoundedBox box;
        Ink ink;
    } m_heldBox;
    int m_drawingThreads;
};

} // namespace tessik
