#pragma once

#include "model/block_table.h"
#include "model/colour.h"

#include <QString>

#include <vector>

namespace tessik {

class Surface;

// What the pointer handling needs from the window it works in. The gestures never write the
// table themselves: each change goes through the host as one edit of the analysis, which the
// host records (so it can be undone), marks and redraws.
class DiagramMouseHost {
public:
    virtual ~DiagramMouseHost() = default;

    virtual const BlockTable &blocks() const = 0;
    virtual Surface &diagramSurface() = 0;
    virtual int viewType() const = 0;

    // The value picked from a key picture that waits to be dropped onto a block.
    virtual bool pickPending() const = 0;
    virtual QString pickText() const = 0;
    virtual void endPick() = 0; // clears the pending pick and restores the default pointer
    // Notes dropped onto block `id`: an editor open on that block shows them.
    virtual void showDroppedNotes(int id, const QString &notes) = 0;

    virtual void addBlockAt(float x, float y) = 0;
    virtual void editBlock(int id) = 0;

    // The edits of a gesture; after each the host redraws the whole diagram.
    virtual void moveBlocks(const std::vector<BlockPlace> &places) = 0;
    virtual void linkBlocks(int child, int parent) = 0;
    virtual void storeCategory(int id, const QString &category) = 0;
    virtual void storeNotes(int id, const QString &notes) = 0;

    // A full redraw for a gesture that changed nothing: it removes the pick outline and marks.
    virtual void redrawDiagram() = 0;
    virtual void tellUser(const QString &message) = 0;
};

// The codes the pointer gestures take: buttons and modifier keys, each a bit, summed.
enum ButtonCode : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftCode : int { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4 };

inline constexpr float kNoMark = -999.0f;
inline constexpr Colour kMarkColour = RGB(0, 64, 64);
inline constexpr float kLinkCircleRadius = 0.5f;

// The diagram's pointer gestures in plain numbers: Button 1 left, 2 right, 4 middle (summed);
// Shift 1 Shift, 2 Ctrl, 4 Alt; X and Y in diagram units. A left press opens or creates a
// block; another button picks a block up, and the release links it with the block under the
// pointer or moves it there (with its descendants when a modifier is held).
class DiagramMouse {
public:
    explicit DiagramMouse(DiagramMouseHost &host) : m_host(host) {}

    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);

    // The block under the point, lowest id first where boxes overlap; 0 for none.
    static int Inside(const BlockTable &table, float X, float Y);

    // The part of the plane the diagram shows, in diagram units.
    struct ShownArea {
        float left, top, right, bottom;
    };
    static ShownArea shownArea(const Surface &surface);

    // Where a moved block lands: where the pointer put it, unless its box would lie wholly
    // outside the shown area, where nobody could press on it again. Then it comes back whole
    // units at a time until the whole box shows, the left and top edges first where the area is
    // too small for it.
    static BlockPlace reachable(BlockPlace place, const ShownArea &shown);

    // The ends of the gestures, for the keyboard to give the same results: a pick dropped on
    // block h; block d released at (X, Y) on empty space; block d released on block h.
    void dropValue(int h, const QString &value);
    void moveTo(int d, int Shift, float X, float Y);
    void linkOrRefuse(int d, int h);

    int DragBlock = 0;
    float GhostX = kNoMark;
    float GhostY = kNoMark;
    bool GhostIsCircle = false;

    static const QString kLoopMessage;

private:
    void drawMark();
    BlockPlace landing(int d, float X, float Y);
    std::vector<BlockPlace> placesForMove(int d, int Shift, float X, float Y);
    void dropPick(float X, float Y);
    void finishDrag(int Shift, float X, float Y);

    DiagramMouseHost &m_host;
};

} // namespace tessik
