#pragma once

#include <functional>

namespace tessik {

// Does `work` for the rows 0 up to `rows` split into `bands` slices of about equal height, all
// at once: the calling thread does the first slice, one thread more each of the others.
void inBands(int rows, int bands, const std::function<void(int firstRow, int endRow)> &work);

// Into how many bands `rows` rows of `width` pixels are split for at most `threads` threads: one
// below half a megapixel, where starting a thread costs more than it saves; never more than
// there are rows.
int bandCount(int width, int rows, int threads);

} // namespace tessik
