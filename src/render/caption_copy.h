#pragma once

#include "model/colour.h"
#include "render/canvas.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tessik {

// The rows of a kept caption picture to copy onto a picture: none when the caption lies outside
// it.
struct CaptionCopy {
    struct Run {
        int y, from, to;
    };
    QImage pixels;
    QPoint corner; // where pixels' top left lands
    std::vector<Run> runs;
};

// What each caption a frame printed came to, in the order the frame printed them. A redraw prints
// the same captions at the same places in the same order, so the next frame takes what was found
// for the same caption at the same place in its order, and finds anew only what moved or changed.
// What a finding depends on beyond the caption's own key (the mapping, the font) starts it afresh.
class FoundCaptions {
public:
    // Everything of a caption and its picture that what is found depends on.
    struct Caption {
        QList<PlacedLine> lines;
        RoundedBox box;
        double scale = 1;
        std::int64_t x = 0, y = 0; // the view's corner on the picture, in device pixels
        Colour pen = 0, fill = 0;
        QSize picture;
        bool operator==(const Caption &other) const;
    };
    using Found = std::shared_ptr<const CaptionCopy>; // null: the glyphs must be drawn

    // What the last frame found for the same caption in this place, else what `find` finds.
    Found take(Caption caption, const std::function<std::optional<CaptionCopy>()> &find);
    void endFrame();
    void clear();

private:
    std::vector<std::pair<Caption, Found>> m_last, m_this;
};

} // namespace tessik
