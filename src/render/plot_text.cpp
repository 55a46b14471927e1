#include "render/plot_text.h"

#include "render/canvas.h"

namespace tessik {

CaptionLines wrapCaption(const QString &caption, const std::function<float(const QString &)> &width)
{
    CaptionLines result;
    QString rest = caption;
    while (!rest.isEmpty()) {
        if (result.lines.size() == kMaxCaptionLines) {
            result.truncated = true;
            break;
        }
        // k - 1 characters fit: k is the first prefix length that is too wide.
        qsizetype k = 1;
        while (k <= rest.size() && width(rest.left(k)) <= TextFitWidth)
            ++k;
        if (k == 1) {
            // Not even the first character fits: it takes a line of its own, so wrapping
            // always makes progress.
            result.lines.append(rest.left(1));
            rest.remove(0, 1);
            continue;
        }
        const qsizetype fitting = k - 1;
        const qsizetype blank = fitting >= rest.size() ? -1 : rest.left(fitting).lastIndexOf(QLatin1Char(' '));
        if (blank < 0) {
            // No blank to break at, or the rest fits: the break falls inside a word or at the end.
            result.lines.append(rest.left(fitting));
            rest.remove(0, fitting);
        } else {
            result.lines.append(rest.left(blank));
            rest.remove(0, blank + 1);
        }
    }
    return result;
}

QList<PlacedLine> placeCaption(const CaptionLines &caption, float boxX, float boxY, float lineHeight,
                               const std::function<float(const QString &)> &width)
{
    QList<PlacedLine> placed;
    const auto count = static_cast<float>(caption.lines.size());
    float y = boxY;
    if (caption.lines.size() > 5)
        lineHeight = TextFitWidth / count;
    else
        y = boxY + (BlockBoxSize - count * lineHeight) / 2.0f;
    for (const QString &line : caption.lines) {
        placed.append({line, boxX + (BlockBoxSize - width(line)) / 2.0f, y});
        y += lineHeight;
    }
    return placed;
}

void PlotText(Canvas &surface, const BlockTable &table, int id)
{
    const auto width = [&](const QString &text) { return surface.textWidth(text); };
    const CaptionLines caption = wrapCaption(table.BlockText[id], width);
    if (caption.lines.isEmpty())
        return;
    const float lineHeight = surface.textHeight(QStringLiteral("I"));
    for (const PlacedLine &line : placeCaption(caption, table.BlockX[id], table.BlockY[id], lineHeight, width)) {
        surface.printAt(line.x, line.y, line.text);
    }
}

} // namespace tessik
