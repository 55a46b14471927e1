#include "render/canvas.h"

#include "render/fonts.h"

namespace tessik {

const TextMetrics &Canvas::textMetrics() const
{
    static const TextMetrics captionMetrics(captionFont());
    return captionMetrics;
}

void Canvas::printCaption(const QList<PlacedLine> &lines, const RoundedBox &)
{
    for (const PlacedLine &line : lines)
        printAt(line.x, line.y, line.text);
}

} // namespace tessik
