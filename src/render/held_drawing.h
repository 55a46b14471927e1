#pragma once

#include <QImage>

#include <functional>
#include <utility>
#include <vector>

namespace tessik {

// The drawing calls of one frame, held and then done together: the picture's rows are split into
// bands, one a thread, and each thread does every call for its own rows. A full redraw on a dense
// screen writes tens of megabytes; two cores fill them in about two thirds of the time.
//
// A call that can draw any band of rows alone draws exactly the pixels of those rows that drawing
// all of them gives, so the picture comes out the same however it is split. A call that needs the
// whole picture (text through a painter) is done on the calling thread once the calls before it
// are done everywhere.
class HeldDrawing {
public:
    // Draws the rows from `firstRow` up to, not including, `endRow` of the picture.
    using Draw = std::function<void(QImage &picture, int firstRow, int endRow)>;
    enum class Rows { AnyBand, Whole };

    void begin() { m_holding = true; }
    bool holding() const { return m_holding; }
    void hold(Draw draw, Rows rows) { m_held.emplace_back(std::move(draw), rows); }
    // How many calls are held; the last one can be replaced by one that draws what it drew and more.
    size_t heldCount() const { return m_held.size(); }
    void replaceLast(Draw draw) { m_held.back().first = std::move(draw); }
    // Does the held calls in order, on at most `threads` threads, and stops holding.
    void finish(QImage &picture, int threads);

private:
    void drawInBands(QImage &picture, size_t from, size_t to, int bands) const;

    std::vector<std::pair<Draw, Rows>> m_held;
    bool m_holding = false;
};

} // namespace tessik
