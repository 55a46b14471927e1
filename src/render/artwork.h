#pragma once

#include <QImage>
#include <QPoint>

namespace tessik {

// The pictures stored with the program. tessik_core is a static library, so its resources are
// registered on first use; every accessor below does it, and calling it again is harmless.
void initArtworkResources();

// The category colour key, 202 x 110 pixels (RGB32), or the same drawing at `scale` 2 (twice as
// many pixels each way) for high-density screens; a null image for other scales.
QImage categoryKeyPicture(int scale = 1);
// The notes colour key, 134 x 113 pixels (RGB32), or at `scale` 2 like the category key.
QImage notesLegendPicture(int scale = 1);

// The pointer shown while a picked value waits to be dropped: 32 x 32, black and white on
// transparent (ARGB32), its tip at pickPointerHotSpot().
QImage pickPointerImage();
QPoint pickPointerHotSpot();

// The window icon in 16 x 16 or 32 x 32 pixels (ARGB32); a null image for any other size.
QImage windowIconImage(int size);

} // namespace tessik
