#pragma once

#include <cstdint>

namespace tessik {

// A colour as the diagram stores it: red in the lowest byte, then green, then blue.
using Colour = std::int32_t;

constexpr Colour RGB(int red, int green, int blue)
{
    return Colour(red & 0xff) | Colour(green & 0xff) << 8 | Colour(blue & 0xff) << 16;
}
constexpr int redOf(Colour c)
{
    return c & 0xff;
}
constexpr int greenOf(Colour c)
{
    return (c >> 8) & 0xff;
}
constexpr int blueOf(Colour c)
{
    return (c >> 16) & 0xff;
}

// The same colour as a QImage RGB32 pixel (0xffRRGGBB) and back.
constexpr std::uint32_t toPixel(Colour c)
{
    return 0xff000000u | std::uint32_t(redOf(c)) << 16 | std::uint32_t(greenOf(c)) << 8 | std::uint32_t(blueOf(c));
}
constexpr Colour fromPixel(std::uint32_t p)
{
    return RGB(int(p >> 16) & 0xff, int(p >> 8) & 0xff, int(p) & 0xff);
}

inline constexpr Colour kWhite = RGB(255, 255, 255);
inline constexpr Colour kBlack = RGB(0, 0, 0);
inline constexpr Colour kRed = RGB(255, 0, 0);

} // namespace tessik
