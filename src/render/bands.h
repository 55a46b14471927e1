#pragma once

#include <QImage>

#include <functional>

namespace tessik {

// Does `work` for the rows 0 up to `rows` split into `bands` slices of about equal height, all
// at once: the calling thread does the first slice, one thread more each of the others.
void inBands(int rows, int bands, const std::function<void(int firstRow, int endRow)> &work);

// Below this many pixels a picture is drawn or copied on one thread: starting another costs more.
inline constexpr qsizetype kSmallestSplitPicture = 1 << 19;

} // namespace tessik
