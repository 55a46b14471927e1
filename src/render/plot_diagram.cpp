#include "render/plot_diagram.h"

#include "render/plot_text.h"
#include "render/surface.h"

namespace tessik {

namespace {

void boxAt(Canvas &surface, float x, float y)
{
    const PixelMapping &m = surface.mapping();
    surface.roundRect(m.ScaleToPixelsX(x), m.ScaleToPixelsY(y), m.ScaleToPixelsX(x + BlockBoxSize),
                      m.ScaleToPixelsY(y + BlockBoxSize), kCornerEllipse, kCornerEllipse);
}

} // namespace

bool isSearchHit(const BlockTable &table, int id, const QString &keyWord)
{
    return !keyWord.isEmpty() && table.isLive(id) && table.BlockText[id].contains(keyWord, Qt::CaseInsensitive);
}

Colour boxFill(const BlockTable &table, int id, const DiagramColours &colours)
{
    if (colours.ViewType != 0)
        return colours.tables.CategoryColour[size_t(categoryIndex(table.BlockCategory[id]))];
    return colours.tables.NotesColour[size_t(notesIndex(table.BlockNotes[id]))];
}

void drawDiagram(Canvas &surface, const BlockTable &table, const DiagramColours &colours,
                 const std::function<BlockLook(int)> &lookOf)
{
    const int count = table.BlockCount;
    auto visible = [&](int id) { return lookOf(id) != BlockLook::Hidden; };

    surface.clear();
    surface.setFillStyle(FillStyle::Solid);

    for (int i = 1; i <= count; ++i) {
        if (table.BlockActive[i] == 0 || !visible(i))
            continue;
        const Colour shadow = lookOf(i) == BlockLook::Highlighted ? kHighlightShadowColour : kShadowColour;
        surface.setPenColour(shadow);
        surface.setFillColour(shadow);
        boxAt(surface, table.BlockX[i] + 0.5f, table.BlockY[i] + 0.5f);
    }

    surface.setPenColour(kBlack);
    for (int i = 1; i <= count; ++i) {
        const int parent = table.BlockParent[i];
        // The parent slot is not required to be live: a link to a freed slot goes to where it was.
        if (table.BlockActive[i] == 0 || parent <= 0 || parent > kMaxBlocks || !visible(i) || !visible(parent))
            continue;
        surface.line(table.BlockX[i] + 5, table.BlockY[i] + 5, table.BlockX[parent] + 5, table.BlockY[parent] + 5,
                     kBlack);
    }

    for (int i = 1; i <= count; ++i) {
        if (table.BlockActive[i] == 0 || !visible(i))
            continue;
        surface.setFillColour(boxFill(table, i, colours));
        if (lookOf(i) == BlockLook::Highlighted)
            surface.setPenColour(kRed);
        boxAt(surface, table.BlockX[i], table.BlockY[i]);
        surface.setPenColour(kBlack);
        PlotText(surface, table, i);
    }

    surface.setFillStyle(FillStyle::Transparent);
}

void PlotDiagram(Canvas &surface, const BlockTable &table, const DiagramColours &colours, const QString &keyWord)
{
    drawDiagram(surface, table, colours,
                [&](int id) { return isSearchHit(table, id, keyWord) ? BlockLook::Highlighted : BlockLook::Plain; });
}

void outlineBox(Surface &surface, float x, float y)
{
    boxAt(surface, x, y);
    surface.refresh();
}

} // namespace tessik
