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

} // namespace tessik
