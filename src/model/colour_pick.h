#pragma once

#include "model/colour.h"

#include <QImage>
#include <QString>

#include <functional>

namespace tessik {

// Reads one pixel of a key picture; -1 for a point outside the picture.
using PixelReader = std::function<Colour(int x, int y)>;

// The category under the point of the category picture, found by the pixel's colour. Dark
// pixels (letters, grid lines) take the value of the nearest coloured pixel to their right;
// white and points outside the picture give the empty string.
QString SelectCategory(const PixelReader &pixel, int X, int Y);
QString SelectCategory(const QImage &picture, int X, int Y);

// The notes value under the point of the legend picture, by the same kind of rules; a light
// grey gives all three keywords.
QString SelectNote(const PixelReader &pixel, int X, int Y);
QString SelectNote(const QImage &picture, int X, int Y);

// The right-most column the search to the right visits even when the reader never reports the
// picture's edge: the largest coordinate a 16-bit pixel position can hold.
inline constexpr int kPickSearchLimit = 32767;

} // namespace tessik
