#pragma once

#include <cstdint>

namespace tessik {

// The one mapping between diagram units and pixels, fixed at start-up: the diagram's extent
// and the pixel size the surface had then. A later resize shows more or less of the plane
// at the same size of one unit.
struct PixelMapping {
    float DiagramLeft = -1.0f;
    float DiagramTop = -21.5f;
    float DiagramRight = 66.0f;
    float DiagramBottom = 21.5f;
    std::int32_t DiagramPixelWidth = 67;
    std::int32_t DiagramPixelHeight = 43;

    std::int32_t ScaleToPixelsX(float x) const;
    std::int32_t ScaleToPixelsY(float y) const;
    // The same on an image with `ratio` device pixels per pixel; equal to the above at a ratio of 1.
    std::int32_t scaleToDeviceX(float x, double ratio) const;
    std::int32_t scaleToDeviceY(float y, double ratio) const;

    // Pointer positions: the pixel's left or top edge in diagram units.
    float pixelToUnitsX(double px) const;
    float pixelToUnitsY(double py) const;

    double pixelsPerUnitX() const { return DiagramPixelWidth / double(DiagramRight - DiagramLeft); }
    double pixelsPerUnitY() const { return DiagramPixelHeight / double(DiagramBottom - DiagramTop); }

    static PixelMapping forStartupSize(int pixelWidth, int pixelHeight);
};

// How much of the plane the window shows, and how large: a zoom, and the view's top-left corner
// in whole pixels of the plane at that zoom, so that scrolling moves the picture by whole pixels.
// It changes only the window's view; files and pictures of the diagram use the mapping alone. The
// default is the start-up view: the mapping's own pixels, unmoved.
struct PlaneView {
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4;

    double zoom = 1;
    int left = 0;
    int top = 0;

    bool isStartup() const { return zoom == 1 && left == 0 && top == 0; }
    // A position in the view (pixels) as pixels of the mapping, and back.
    double toMappingX(double viewX) const { return (viewX + left) / zoom; }
    double toMappingY(double viewY) const { return (viewY + top) / zoom; }
    double toViewX(double mappingX) const { return mappingX * zoom - left; }
    double toViewY(double mappingY) const { return mappingY * zoom - top; }
    bool operator==(const PlaneView &) const = default;
};

} // namespace tessik
