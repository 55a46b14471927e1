#pragma once

#include "model/block_table.h"
#include "render/canvas.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tessik {

class TextMetrics;
struct PixelMapping;

// The widest a caption line may be, in diagram units: 0.2 units stay free on either side.
inline constexpr float TextFitWidth = 9.6f;
inline constexpr int kMaxCaptionLines = 9;

// A caption broken into lines no wider than TextFitWidth, at most nine kept.
struct CaptionLines {
    QStringList lines;      // at most kMaxCaptionLines
    bool truncated = false; // there were more lines than were kept
};

// How caption text is measured: each character's advance in whole pixels, summed along a line,
// and how many of those pixels make one diagram unit across.
struct CaptionMeasure {
    std::function<int(QChar)> advance;
    double pixelsPerUnit = 1;

    float width(qint64 pixels) const { return static_cast<float>(double(pixels) / pixelsPerUnit); }
    float width(const QString &text) const;
};

// The measure a canvas lays its captions out by.
CaptionMeasure captionMeasure(const TextMetrics &metrics, const PixelMapping &mapping);

// Wraps the caption the way the boxes show it: each line takes as many characters as fit and
// breaks at the last blank among them (that blank is dropped) or, with no blank, inside the
// word. A first character that alone is wider than the box goes on a line by itself. Each
// character is measured once or twice, whatever the caption holds, and wrapping stops once it
// knows there are more lines than a box shows.
CaptionLines wrapCaption(const QString &caption, const CaptionMeasure &measure);

// Centres the lines across the box; up to five lines are centred vertically one font line apart,
// six to nine share the box's height from its top.
QList<PlacedLine> placeCaption(const CaptionLines &caption, float boxX, float boxY, float lineHeight,
                               const CaptionMeasure &measure);

// Block `id`'s caption as the canvas lays it out: its kept lines and where each is printed.
QList<PlacedLine> captionPlaces(const Canvas &surface, const BlockTable &table, int id);

// Each block's caption lines as they were last laid out. Laying out measures every character, and
// a redraw lays out the same captions again: a block's lines are taken over while its caption and
// its place are the same. Whoever keeps them starts afresh when the font or the mapping changes.
class CaptionLayouts {
public:
    QList<PlacedLine> lines(int id, const Block &block, const std::function<QList<PlacedLine>()> &layOut);
    void clear() { m_kept.clear(); }

private:
    struct Kept {
        QString caption;
        float x = 0, y = 0;
        QList<PlacedLine> lines;
    };
    QHash<int, Kept> m_kept;
};

} // namespace tessik
