#pragma once

#include "render/pixel_mapping.h"

#include <QObject>
#include <QPointF>
#include <QRect>

#include <functional>

class QScrollBar;

namespace tessik {

class BlockTable;
class SurfaceView;

// The diagram's zoom and scroll: a setting of the view alone, never an edit. Scroll bars appear
// over the diagram's edges only while some live block lies partly outside what the view shows;
// the wheel scrolls (with Shift sideways) and with Ctrl zooms about the pointer.
class DiagramViewport : public QObject {
    Q_OBJECT
public:
    DiagramViewport(SurfaceView *view, std::function<const BlockTable &()> table);

    const PlaneView &view() const;
    void zoomIn();
    void zoomOut();
    // Back to 100 % at the start-up place: the picture the window starts with.
    void reset();
    // Every block in view, as large as fits between the zoom's limits.
    void fit();
    // The point of the view `at` (pixels) stays where it is.
    void zoomAbout(double zoom, QPointF at);

    // After each redraw: the bars follow where the blocks are.
    void followBlocks();
    // Scrolls as little as shows the whole box of the block (the keyboard's selection).
    void showBlock(int id);

Q_SIGNALS:
    // The view moved or zoomed; its picture is white until the diagram is drawn again.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setView(const PlaneView &view);
    void scrollBy(QScrollBar *bar, int pixels);
    // A live block's box and shadow, and every live block's, in pixels of the plane at the view's zoom.
    QRect blockExtent(int id) const;
    QRect blocksExtent() const;
    QSize shownSize() const;
    void placeBars();

    SurfaceView *m_view;
    std::function<const BlockTable &()> m_table;
    QScrollBar *m_horizontal;
    QScrollBar *m_vertical;
};

} // namespace tessik
