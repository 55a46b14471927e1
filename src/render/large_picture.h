#pragma once

#include <QImage>

namespace tessik {

// A picture of `width` x `height` pixels in `format`, every pixel white; null when there is not
// memory enough. Its pixels are mapped in large pages where the system offers them: a picture of
// two megabytes or more otherwise costs one page fault every four kilobytes the first time it is
// written, a tenth of the time of a large export and a millisecond of the start-up.
QImage whitePicture(int width, int height, QImage::Format format);

// The same, every pixel `colour`.
QImage filledPicture(int width, int height, QImage::Format format, QRgb colour);

} // namespace tessik
