#include "model/colour_pick.h"

#include <array>

namespace tessik {

namespace {

// The colour classes, in the order they are tried. A picture's fills sit well inside their
// class, so a slightly different shade of the same region still gives the same value.
enum ColourClass {
    White,
    RedGreen,
    GreenBlue,
    RedBlue,
    Green,
    Red,
    Blue,
    LightGrey,
    Dark, // none of the above: look one pixel further right
    ClassCount = Dark
};

ColourClass classOf(Colour colour)
{
    const int r = redOf(colour);
    const int g = greenOf(colour);
    const int b = blueOf(colour);
    if (r > 249 && g > 249 && b > 249)
        return White;
    if (r > 249 && g > 249)
        return RedGreen;
    if (g > 249 && b > 249)
        return GreenBlue;
    if (r > 235 && b > 235)
        return RedBlue;
    if (g > 249)
        return Green;
    if (r > 249)
        return Red;
    if (b > 245)
        return Blue;
    if (r > 209 && g > 209 && b > 209)
        return LightGrey;
    return Dark;
}

// One picture's value per colour class; nullptr where the class means nothing in that picture,
// which makes it behave like a dark pixel.
using Values = std::array<const char *, ClassCount>;

// clang-format off
constexpr Values kCategoryValues = {
    "",                     // White
    "Knowledge and Skills", // RedGreen
    "Wellness/Capacity",    // GreenBlue
    "Structure/Process",    // RedBlue
    "Motives",              // Green
    "Physical Resources",   // Red
    "Information",          // Blue
    nullptr,                // LightGrey
};

constexpr Values kNoteValues = {
    "",                                   // White
    "Technology; Science",                // RedGreen
    "Technology; Human Factors",          // GreenBlue
    "Science; Human Factors",             // RedBlue
    "Technology",                         // Green
    "Science",                            // Red
    "Human Factors",                      // Blue
    "Science; Technology; Human Factors", // LightGrey
};
// clang-format on

// Walks right from (X, Y) to the first pixel whose colour means something. The walk ends at the
// picture's right edge, where the reader reports -1 (white); the limit guards against a reader
// that never does.
QString pickByColour(const PixelReader &pixel, int X, int Y, const Values &values)
{
    for (int x = X; x <= kPickSearchLimit; ++x) {
        const ColourClass found = classOf(pixel(x, Y));
        if (found != Dark && values[found] != nullptr)
            return QString::fromLatin1(values[found]);
    }
    return QString();
}

PixelReader readerFor(const QImage &picture)
{
    return [&picture](int x, int y) -> Colour {
        if (!picture.valid(x, y))
            return -1;
        return fromPixel(picture.pixel(x, y));
    };
}

} // namespace

QString SelectCategory(const PixelReader &pixel, int X, int Y)
{
    return pickByColour(pixel, X, Y, kCategoryValues);
}

QString SelectCategory(const QImage &picture, int X, int Y)
{
    return SelectCategory(readerFor(picture), X, Y);
}

QString SelectNote(const PixelReader &pixel, int X, int Y)
{
    return pickByColour(pixel, X, Y, kNoteValues);
}

QString SelectNote(const QImage &picture, int X, int Y)
{
    return SelectNote(readerFor(picture), X, Y);
}

} // namespace tessik
