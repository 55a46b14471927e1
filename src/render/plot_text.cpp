#include "render/plot_text.h"

#include "render/canvas.h"
#include "render/pixel_mapping.h"
#include "render/text_metrics.h"

namespace tessik {

float CaptionMeasure::width(const QString &text) const
{
    qint64 pixels = 0;
    for (const QChar c : text)
        pixels += advance(c);
    return width(pixels);
}

CaptionMeasure captionMeasure(const TextMetrics &metrics, const PixelMapping &mapping)
{
    return {[&metrics](QChar c) { return metrics.advance(c); }, mapping.pixelsPerUnitX()};
}

namespace {

// The characters from `start` that fit on one line: they end before `end`, and the last blank
// among them is at `lastBlank` (-1 for none).
struct LineFit {
    qsizetype end = 0;
    qsizetype lastBlank = -1;
};

LineFit fitLine(const QString &caption, qsizetype start, const CaptionMeasure &measure)
{
    LineFit fit{start, -1};
    qint64 pixels = 0;
    for (; fit.end < caption.size(); ++fit.end) {
        pixels += measure.advance(caption[fit.end]);
        if (measure.width(pixels) > TextFitWidth)
            break;
        if (caption[fit.end] == QLatin1Char(' '))
            fit.lastBlank = fit.end;
    }
    return fit;
}

// Where the line ends and where the next one starts.
struct LineBreak {
    qsizetype lineEnd = 0;
    qsizetype next = 0;
};

LineBreak breakLine(const LineFit &fit, qsizetype start, qsizetype captionSize)
{
    // Not even the first character fits: it takes a line of its own, so wrapping always makes
    // progress.
    if (fit.end == start)
        return {start + 1, start + 1};
    // The rest fits, or there is no blank to break at: the break falls at the end or inside a word.
    if (fit.end == captionSize || fit.lastBlank < 0)
        return {fit.end, fit.end};
    // Only the blank at the break is dropped.
    return {fit.lastBlank, fit.lastBlank + 1};
}

} // namespace

CaptionLines wrapCaption(const QString &caption, const CaptionMeasure &measure)
{
    CaptionLines result;
    qsizetype start = 0;
    while (start < caption.size()) {
        if (result.lines.size() == kMaxCaptionLines) {
            result.truncated = true;
            break;
        }
        const LineBreak lineBreak = breakLine(fitLine(caption, start, measure), start, caption.size());
        result.lines.append(caption.mid(start, lineBreak.lineEnd - start));
        start = lineBreak.next;
    }
    return result;
}

QList<PlacedLine> placeCaption(const CaptionLines &caption, float boxX, float boxY, float lineHeight,
                               const CaptionMeasure &measure)
{
    QList<PlacedLine> placed;
    const auto count = static_cast<float>(caption.lines.size());
    float y = boxY;
    if (caption.lines.size() > 5)
        lineHeight = TextFitWidth / count;
    else
        y = boxY + (BlockBoxSize - count * lineHeight) / 2.0f;
    for (const QString &line : caption.lines) {
        placed.append({line, boxX + (BlockBoxSize - measure.width(line)) / 2.0f, y});
        y += lineHeight;
    }
    return placed;
}

QList<PlacedLine> captionPlaces(const Canvas &surface, const BlockTable &table, int id)
{
    const auto layOut = [&] {
        const CaptionMeasure measure = captionMeasure(surface.textMetrics(), surface.mapping());
        const CaptionLines caption = wrapCaption(table.block(id).caption, measure);
        if (caption.lines.isEmpty())
            return QList<PlacedLine>();
        const float lineHeight = surface.textHeight(QStringLiteral("I"));
        return placeCaption(caption, table.block(id).x, table.block(id).y, lineHeight, measure);
    };
    if (CaptionLayouts *kept = surface.captionLayouts())
        return kept->lines(id, table.block(id), layOut);
    return layOut();
}

QList<PlacedLine> CaptionLayouts::lines(int id, const Block &block, const std::function<QList<PlacedLine>()> &layOut)
{
    Kept &kept = m_kept[id];
    if (kept.caption != block.caption || kept.x != block.x || kept.y != block.y)
        kept = {block.caption, block.x, block.y, layOut()};
    return kept.lines;
}

} // namespace tessik
