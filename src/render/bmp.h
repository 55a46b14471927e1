#pragma once

#include <QByteArray>
#include <QImage>

namespace tessik {

// A Windows bitmap file of the picture at 24 bits per pixel, so every diagram colour is kept exactly.
QByteArray encodeBmp24(const QImage &image);

// The same at 32 bits per pixel with the alpha channel kept (for the icons).
QByteArray encodeBmp32(const QImage &image);

// Reads the uncompressed 24- and 32-bit bitmaps written above; a null image for anything else.
// The pictures the window shows at start-up are read this way, without the image plugins.
QImage decodeBmp(const QByteArray &bytes);

} // namespace tessik
