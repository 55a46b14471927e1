#pragma once

#include <QByteArray>
#include <QImage>

namespace tessik {

// A Windows bitmap file of the picture at 24 bits per pixel, so every diagram colour is kept exactly.
QByteArray encodeBmp24(const QImage &image);

} // namespace tessik
