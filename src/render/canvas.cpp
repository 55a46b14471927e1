#include "render/canvas.h"

#include "render/fonts.h"

namespace tessik {

const TextMetrics &Canvas::textMetrics() const
{
    static const TextMetrics captionMetrics(captionFont());
    return captionMetrics;
}

void Canvas::clearAround(const QList<RoundedBox> &)
{
    clear();
}

void Canvas::roundRectUnder(const RoundedBox &box, const RoundedBox &)
{
    roundRect(box.left, box.top, box.right, box.bottom, box.cornerWidth, box.cornerHeight);
}

void Canvas::printCaption(const QList<PlacedLine> &lines, const RoundedBox &)
{
    for (const PlacedLine &line : lines)
        printAt(line.x, line.y, line.text);
}

} // namespace tessik
