#include "render/pixel_mapping.h"

#include "model/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessik {

namespace {

std::int32_t toLong(double value)
{
    // Positions from hand-edited files can be anything; clamp instead of overflowing.
    using Limits = std::numeric_limits<std::int32_t>;
    const double rounded = roundHalfEven(value);
    if (std::isnan(rounded))
        return Limits::min();
    return static_cast<std::int32_t>(std::clamp(rounded, double(Limits::min()), double(Limits::max())));
}

} // namespace

std::int32_t PixelMapping::ScaleToPixelsX(float x) const
{
    return scaleToDeviceX(x, 1.0);
}

std::int32_t PixelMapping::ScaleToPixelsY(float y) const
{
    return scaleToDeviceY(y, 1.0);
}

std::int32_t PixelMapping::scaleToDeviceX(float x, double ratio) const
{
    return toLong((double(x) - DiagramLeft) * DiagramPixelWidth * ratio / (double(DiagramRight) - DiagramLeft));
}

std::int32_t PixelMapping::scaleToDeviceY(float y, double ratio) const
{
    return toLong((double(y) - DiagramTop) * DiagramPixelHeight * ratio / (double(DiagramBottom) - DiagramTop));
}

float PixelMapping::pixelToUnitsX(double px) const
{
    return static_cast<float>(DiagramLeft + px / pixelsPerUnitX());
}

float PixelMapping::pixelToUnitsY(double py) const
{
    return static_cast<float>(DiagramTop + py / pixelsPerUnitY());
}

PixelMapping PixelMapping::forStartupSize(int pixelWidth, int pixelHeight)
{
    PixelMapping mapping;
    mapping.DiagramPixelWidth = pixelWidth > 0 ? pixelWidth : 1;
    mapping.DiagramPixelHeight = pixelHeight > 0 ? pixelHeight : 1;
    return mapping;
}

} // namespace tessik
