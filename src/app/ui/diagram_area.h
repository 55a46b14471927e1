#pragma once

#include "app/ui/diagram_viewport.h"
#include "app/ui/surface_view.h"
#include "interact/diagram_mouse.h"
#include "render/animation.h"
#include "render/plot_diagram.h"

#include <QObject>

namespace tessik {

class Document;
class Platform;

// The diagram as the window shows it: the drawing box picDiagram and its hidden twin picBuffer
// for the replay, the colours of the view, a value picked from a key picture on its way to a
// block, and the pointer gestures, whose edits go to the document.
class DiagramArea : public QObject, private DiagramMouseHost {
    Q_OBJECT
public:
    DiagramArea(QWidget *window, Document &document, Platform &platform);

    SurfaceView *view() const { return m_view; }
    DiagramViewport *viewport() const { return m_viewport; }
    Surface &surface() { return m_view->surface(); }
    const PixelMapping &mapping() const { return m_view->surface().mapping(); }
    const DiagramColours &colours() const { return m_colours; }

    // The size of the drawing area now fixes the size of one diagram unit for good.
    void fixUnitSize();
    void setGeometry(const QRect &geometry);
    void setViewType(int viewType);

    // Draws the table afresh, the blocks whose captions hold the phrase highlighted; any full
    // redraw ends a replay.
    void redraw(const QString &phrase = QString());
    // The red outline of a block, drawn over the picture until the next redraw.
    void outline(int id);
    void replay(AnimationDirection direction);

    // The block the keyboard acts on (0: none); the diagram's focus ring and its accessible
    // children follow it.
    int selectedBlock() const { return m_selected; }
    void select(int id);
    // The pointer gestures, whose results the keyboard gives as well.
    DiagramMouse &gestures() { return m_mouse; }
    bool isPicking() const { return m_pickPending; }

    // A value picked from a key picture waits for a release or a click on a block.
    void startPick(const QString &value);
    // The release of a press on a key picture: over the diagram, it drops the pick there; anywhere
    // else it leaves the pick waiting for a click on a block.
    void releasePick(const PointerEvent &event);

Q_SIGNALS:
    void addRequested(float x, float y);
    void openRequested(int id);
    void notesDropped(int id, const QString &notes);
    // A gesture that changed nothing: the window shows the table as it is, marks gone.
    void redrawRequested();
    void selectionChanged(int id);

private:
    // Through the view: a gesture means the same units at every zoom and scroll.
    float unitsX(const PointerEvent &event) const
    {
        return mapping().pixelToUnitsX(m_viewport->view().toMappingX(event.pixel.x()));
    }
    float unitsY(const PointerEvent &event) const
    {
        return mapping().pixelToUnitsY(m_viewport->view().toMappingY(event.pixel.y()));
    }

    // The pointer handling's view of the window.
    const BlockTable &blocks() const override;
    Surface &diagramSurface() override { return surface(); }
    int viewType() const override { return m_colours.ViewType; }
    bool pickPending() const override { return m_pickPending; }
    QString pickText() const override { return m_pickText; }
    void endPick() override;
    void showDroppedNotes(int id, const QString &notes) override { Q_EMIT notesDropped(id, notes); }
    void addBlockAt(float x, float y) override { Q_EMIT addRequested(x, y); }
    // The block a click opens is the selected one too.
    void editBlock(int id) override { Q_EMIT openRequested(id); }
    void moveBlocks(const std::vector<BlockPlace> &places) override;
    void linkBlocks(int child, int parent) override;
    void storeCategory(int id, const QString &category) override;
    void storeNotes(int id, const QString &notes) override;
    void redrawDiagram() override { Q_EMIT redrawRequested(); }
    void tellUser(const QString &message) override;

    Document &m_document;
    Platform &m_platform;
    SurfaceView *m_view;   // picDiagram
    SurfaceView *m_buffer; // picBuffer
    DiagramViewport *m_viewport;
    DiagramColours m_colours;
    DiagramMouse m_mouse{*this};
    AnimationState m_animation;
    int m_selected = 0;
    bool m_pickPending = false;
    QString m_pickText;
};

} // namespace tessik
