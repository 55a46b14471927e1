#pragma once

#include "model/block_table.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tessik {

class Canvas;

// The widest a caption line may be, in diagram units: 0.2 units stay free on either side.
inline constexpr float TextFitWidth = 9.6f;
inline constexpr int kMaxCaptionLines = 9;

// A caption broken into lines no wider than TextFitWidth, at most nine kept.
struct CaptionLines {
    QStringList lines;      // at most kMaxCaptionLines
    bool truncated = false; // there were more lines than were kept
};

// Wraps the caption the way the boxes show it: each line takes as many characters as fit and
// breaks at the last blank among them (that blank is dropped) or, with no blank, inside the
// word. A first character that alone is wider than the box goes on a line by itself.
CaptionLines wrapCaption(const QString &caption, const std::function<float(const QString &)> &width);

// Where each kept line of a caption is printed: its top-left corner in diagram units.
struct PlacedLine {
    QString text;
    float x = 0;
    float y = 0;
};

// Centres the lines across the box; up to five lines are centred vertically one font line apart,
// six to nine share the box's height from its top.
QList<PlacedLine> placeCaption(const CaptionLines &caption, float boxX, float boxY, float lineHeight,
                               const std::function<float(const QString &)> &width);

// Prints block `id`'s caption centred in its box on the surface, in the surface's pen colour.
void PlotText(Canvas &surface, const BlockTable &table, int id);

} // namespace tessik
