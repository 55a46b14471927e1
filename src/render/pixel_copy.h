#pragma once

#include <QImage>

class QPainter;

namespace tessik {

// Copies the `source` rectangle of `from` to `to` with its top left at `at`, the rows split
// among at most `threads` threads. Both pictures have the same 32-bit format, and the rectangle
// lies inside both.
void copyPixels(const QImage &from, const QRect &source, QImage &to, QPoint at, int threads);

// Whether showPicture copies the pixels rather than have the painter draw them.
bool showsByCopying(const QPainter &painter, const QRect &target, const QImage &picture, const QRectF &source);

// Shows the `source` pixels of `picture` in the painter's `target` rectangle, which they fill at
// the picture's density. Where the painter writes straight into a picture of the same format at
// that density, each pixel replacing one (full opacity, no clip), and the rectangle's corners
// fall on whole device pixels, they are copied there on at most `threads` threads; otherwise the
// painter draws them. The painter's device may clip to a region of its own (a widget's paint
// event): keep the target inside it.
void showPicture(QPainter &painter, const QRect &target, const QImage &picture, const QRectF &source, int threads);

} // namespace tessik
