#include "render/canvas.h"

#include "render/fonts.h"

namespace tessik {

const TextMetrics &Canvas::textMetrics() const
{
    static const TextMetrics captionMetrics(captionFont());
    return captionMetrics;
}

} // namespace tessik
