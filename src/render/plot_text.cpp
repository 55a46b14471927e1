#include "render/plot_text.h"

#include "render/surface.h"

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

void PlotText(Surface &surface, const BlockTable &table, int id)
{
    const CaptionLines caption = wrapCaption(table.BlockText[id], [&](const QString &text) { return surface.textWidth(text); });
    const auto count = static_cast<float>(caption.lines.size());
    if (caption.lines.isEmpty())
        return;
    float lineHeight;
    if (caption.lines.size() > 5) {
        lineHeight = TextFitWidth / count;
        surface.setCurrentY(table.BlockY[id]);
    } else {
        lineHeight = surface.textHeight(QStringLiteral("I"));
        surface.setCurrentY(table.BlockY[id] + (BlockBoxSize - count * lineHeight) / 2.0f);
    }
    for (const QString &line : caption.lines) {
        const float w = surface.textWidth(line);
        surface.setCurrentX(table.BlockX[id] + (BlockBoxSize - w) / 2.0f);
        surface.print(line);
        surface.setCurrentY(surface.currentY() + lineHeight);
    }
}

} // namespace tessik
