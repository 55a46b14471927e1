#pragma once

#include "model/colour.h"
#include "render/pixel_mapping.h"
#include "render/text_metrics.h"

#include <QList>
#include <QString>

namespace tessik {

class CaptionLayouts;

enum class FillStyle { Solid = 0, Transparent = 1 };

// One line of a caption and its top-left corner, in diagram units.
struct PlacedLine {
    QString text;
    float x = 0;
    float y = 0;
};

// A rounded rectangle as roundRect takes it, in pixels of the mapping.
struct RoundedBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int cornerWidth = 0, cornerHeight = 0;
    bool operator==(const RoundedBox &) const = default;
};

// What the diagram is drawn on: the window's retained bitmap, or a painter for vector and
// scaled pictures. Both take the same calls, so every picture of the diagram is the same
// drawing. Rounded rectangles take pixels of the mapping (right and bottom edges exclusive);
// lines and text take diagram units.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual const PixelMapping &mapping() const = 0;
    // A frame's drawing calls may be held from beginFrame and all done at endFrame: between the
    // two come only drawing calls, and the picture is read only after endFrame.
    virtual void beginFrame() {}
    virtual void endFrame() {}

    virtual void clear() = 0;
    // Clears the picture to white, perhaps except where the given boxes are about to be drawn
    // solid, which hides whatever lies there. By default the whole picture.
    virtual void clearAround(const QList<RoundedBox> &solidBoxes);

    virtual void setPenColour(Colour colour) = 0;
    virtual void setFillColour(Colour colour) = 0;
    virtual void setFillStyle(FillStyle style) = 0;

    // Outlined with the pen, filled with the fill colour when the fill style is solid; the corners
    // rounded by an ellipse cornerWidth by cornerHeight pixels.
    virtual void roundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) = 0;
    // The same, perhaps leaving out what `hiddenBy` will cover when it is drawn solid later.
    virtual void roundRectUnder(const RoundedBox &box, const RoundedBox &hiddenBy);
    virtual void line(float x1, float y1, float x2, float y2, Colour colour) = 0;

    // The caption font's measures in pixels of the mapping, which captions are wrapped and
    // centred by (a width in units is the summed advances over the mapping's pixels per unit).
    // The caption font unless a canvas says otherwise.
    virtual const TextMetrics &textMetrics() const;
    // The height of one line of the caption font, in diagram units.
    virtual float textHeight(const QString &text) const = 0;
    // Prints the text in the pen colour with its top-left corner at (x, y), without filling
    // its background.
    virtual void printAt(float x, float y, const QString &text) = 0;
    // Prints a box's caption right after the box was drawn, with a solid fill, as `box`: each line
    // as printAt prints it. A canvas may copy a kept picture of the lines where they lie on the
    // box's fill instead of drawing the glyphs again.
    virtual void printCaption(const QList<PlacedLine> &lines, const RoundedBox &box);
    // The captions' lines as this canvas last laid them out, for one that redraws the same
    // captions often; none by default.
    virtual CaptionLayouts *captionLayouts() const { return nullptr; }
};

} // namespace tessik
