#pragma once

#include "app/ui/surface_view.h"

namespace tessik {

// The value a press at a pixel of a key picture picks (empty where it picks none).
using KeyPictureReader = QString (*)(const QImage &picture, int x, int y);

// Lets assistive tools read a key picture as a group of buttons, one per value a press on it can
// pick, in reading order: each is named after its value, described as `kind`, and lies where a
// press picks that value.
void exposeKeyCells(SurfaceView *picture, SurfaceView::PictureSource source, KeyPictureReader read,
                    const QString &kind);

} // namespace tessik
