#include "render/held_drawing.h"

#include "render/bands.h"

namespace tessik {

void HeldDrawing::finish(QImage &picture, int threads)
{
    m_holding = false;
    const int bands = bandCount(picture.width(), picture.height(), threads);
    size_t from = 0;
    while (from < m_held.size()) {
        size_t to = from;
        while (to < m_held.size() && m_held[to].second == Rows::AnyBand)
            ++to;
        drawInBands(picture, from, to, bands);
        if (to < m_held.size())
            m_held[to].first(picture, 0, picture.height());
        from = to + 1;
    }
    m_held.clear();
}

void HeldDrawing::drawInBands(QImage &picture, size_t from, size_t to, int bands) const
{
    if (from == to)
        return;
    auto drawRows = [&](QImage &image, int firstRow, int endRow) {
        for (size_t i = from; i < to; ++i)
            m_held[i].first(image, firstRow, endRow);
    };
    if (bands == 1)
        return drawRows(picture, 0, picture.height());
    // Taken here, once: bits() may copy a shared picture, which no two threads may do at once.
    uchar *const bits = picture.bits();
    inBands(picture.height(), bands, [&](int firstRow, int endRow) {
        // Each thread its own image over the same pixels: a QImage is not shared between threads.
        QImage image(bits, picture.width(), picture.height(), picture.bytesPerLine(), picture.format());
        drawRows(image, firstRow, endRow);
    });
}

} // namespace tessik
