#include "render/plot_diagram.h"

#include "render/plot_text.h"
#include "render/surface.h"

namespace tessik {

namespace {

RoundedBox boxOf(const PixelMapping &m, float x, float y)
{
    return {m.ScaleToPixelsX(x),
            m.ScaleToPixelsY(y),
            m.ScaleToPixelsX(x + BlockBoxSize),
            m.ScaleToPixelsY(y + BlockBoxSize),
            kCornerEllipse,
            kCornerEllipse};
}

RoundedBox boxAt(Canvas &surface, float x, float y)
{
    const RoundedBox box = boxOf(surface.mapping(), x, y);
    surface.roundRect(box.left, box.top, box.right, box.bottom, box.cornerWidth, box.cornerHeight);
    return box;
}

} // namespace

bool isSearchHit(const BlockTable &table, int id, const QString &keyWord)
{
    return !keyWord.isEmpty() && table.isLive(id) && table.block(id).caption.contains(keyWord, Qt::CaseInsensitive);
}

Colour boxFill(const BlockTable &table, int id, const DiagramColours &colours)
{
    if (colours.ViewType != 0)
        return colours.tables.CategoryColour[size_t(categoryIndex(table.block(id).category))];
    return colours.tables.NotesColour[size_t(notesIndex(table.block(id).notes))];
}

namespace {

using LookOf = std::function<BlockLook(int)>;

// The live blocks that this picture shows, in slot order.
std::vector<int> drawnIds(const BlockTable &table, const LookOf &lookOf)
{
    std::vector<int> ids = table.liveIds();
    std::erase_if(ids, [&](int id) { return lookOf(id) == BlockLook::Hidden; });
    return ids;
}

// Every shadow lies under every link and box: the box's square half a unit right and down.
void shadowPass(Canvas &surface, const BlockTable &table, const LookOf &lookOf)
{
    for (int i : drawnIds(table, lookOf)) {
        const Colour shadow = lookOf(i) == BlockLook::Highlighted ? kHighlightShadowColour : kShadowColour;
        surface.setPenColour(shadow);
        surface.setFillColour(shadow);
        // The box drawn later hides most of its own shadow.
        surface.roundRectUnder(boxOf(surface.mapping(), table.block(i).x + 0.5f, table.block(i).y + 0.5f),
                               boxOf(surface.mapping(), table.block(i).x, table.block(i).y));
    }
}

// Centre to centre; the boxes drawn next cover all but the stretch between them.
void linkPass(Canvas &surface, const BlockTable &table, const LookOf &lookOf)
{
    surface.setPenColour(kBlack);
    for (int i : drawnIds(table, lookOf)) {
        const Block &child = table.block(i);
        // The parent slot is not required to be live: a link to a freed slot goes to where it was.
        if (child.parent <= 0 || child.parent > kMaxBlocks || lookOf(child.parent) == BlockLook::Hidden)
            continue;
        const Block &parent = table.block(child.parent);
        surface.line(child.x + kHalfBox, child.y + kHalfBox, parent.x + kHalfBox, parent.y + kHalfBox, kBlack);
    }
}

// Each box with its caption, in slot order: a later box covers an earlier one's caption.
void boxPass(Canvas &surface, const BlockTable &table, const DiagramColours &colours, const LookOf &lookOf)
{
    for (int i : drawnIds(table, lookOf)) {
        surface.setFillColour(boxFill(table, i, colours));
        if (lookOf(i) == BlockLook::Highlighted)
            surface.setPenColour(kRed);
        const RoundedBox box = boxAt(surface, table.block(i).x, table.block(i).y);
        surface.setPenColour(kBlack);
        surface.printCaption(captionPlaces(surface, table, i), box);
    }
}

// Every shadow and box the passes draw: solid, they hide whatever was under them.
QList<RoundedBox> solidBoxes(const Canvas &surface, const BlockTable &table, const LookOf &lookOf)
{
    QList<RoundedBox> boxes;
    for (int i : drawnIds(table, lookOf)) {
        boxes.append(boxOf(surface.mapping(), table.block(i).x + 0.5f, table.block(i).y + 0.5f));
        boxes.append(boxOf(surface.mapping(), table.block(i).x, table.block(i).y));
    }
    return boxes;
}

} // namespace

void drawDiagram(Canvas &surface, const BlockTable &table, const DiagramColours &colours, const LookOf &lookOf)
{
    surface.beginFrame();
    surface.clearAround(solidBoxes(surface, table, lookOf));
    surface.setFillStyle(FillStyle::Solid);
    shadowPass(surface, table, lookOf);
    linkPass(surface, table, lookOf);
    boxPass(surface, table, colours, lookOf);
    surface.setFillStyle(FillStyle::Transparent);
    surface.endFrame();
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
