#include "app/ui/diagram_viewport.h"

#include "app/ui/surface_view.h"
#include "model/block_table.h"
#include "render/diagram_picture.h"

#include <QApplication>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

namespace tessik {

namespace {

// The zoom steps of the keys and the wheel.
constexpr std::array kZoomSteps{0.25, 1 / 3.0, 0.5, 2 / 3.0, 0.8, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
// One wheel notch is this many eighths of a degree.
constexpr double kNotch = 120;
// Positions from hand-edited files can be anything; the bars still get a range they can hold.
constexpr double kFarthest = 1 << 26;

int toWhole(double pixels)
{
    return int(std::lround(std::clamp(pixels, -kFarthest, kFarthest)));
}

// The zoom `steps` steps above (below, when negative) the given one.
double zoomStep(double zoom, int steps)
{
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom + 1e-9);
        zoom = next == kZoomSteps.end() ? PlaneView::kMaxZoom : *next;
    }
    for (; steps < 0; ++steps) {
        const auto next = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom - 1e-9);
        zoom = next == kZoomSteps.begin() ? PlaneView::kMinZoom : *std::prev(next);
    }
    return zoom;
}

} // namespace

DiagramViewport::DiagramViewport(SurfaceView *view, std::function<const BlockTable &()> table)
    : QObject(view), m_view(view), m_table(std::move(table)), m_horizontal(new QScrollBar(Qt::Horizontal, view)),
      m_vertical(new QScrollBar(Qt::Vertical, view))
{
    for (QScrollBar *bar : {m_horizontal, m_vertical}) {
        bar->hide();
        bar->setCursor(Qt::ArrowCursor);
    }
    m_horizontal->setObjectName(QStringLiteral("diagramScrollX"));
    m_vertical->setObjectName(QStringLiteral("diagramScrollY"));
    connect(m_horizontal, &QScrollBar::valueChanged, this, [this](int left) {
        PlaneView moved = this->view();
        moved.left = left;
        setView(moved);
    });
    connect(m_vertical, &QScrollBar::valueChanged, this, [this](int top) {
        PlaneView moved = this->view();
        moved.top = top;
        setView(moved);
    });
    view->installEventFilter(this);
    const QString gestures = QStringLiteral("Wheel: scroll; Shift+wheel: scroll sideways\n"
                                            "Ctrl+wheel: zoom about the pointer\n"
                                            "Ctrl+plus, Ctrl+minus: zoom in, out; Ctrl+0: 100 %\n"
                                            "Ctrl+Shift+F: every block in view");
    view->setToolTip(view->toolTip().isEmpty() ? gestures : view->toolTip() + QLatin1Char('\n') + gestures);
}

const PlaneView &DiagramViewport::view() const
{
    return m_view->surface().view();
}

void DiagramViewport::setView(const PlaneView &view)
{
    if (view == this->view())
        return;
    m_view->surface().setView(view);
    Q_EMIT changed();
}

void DiagramViewport::zoomAbout(double zoom, QPointF at)
{
    zoom = std::clamp(zoom, PlaneView::kMinZoom, PlaneView::kMaxZoom);
    const PlaneView &now = view();
    PlaneView zoomed{zoom, toWhole(now.toMappingX(at.x()) * zoom - at.x()),
                     toWhole(now.toMappingY(at.y()) * zoom - at.y())};
    // Back at 100 % where the view started, it is the start-up view again, pixel for pixel.
    if (zoom == 1 && std::abs(zoomed.left) <= 1 && std::abs(zoomed.top) <= 1)
        zoomed = PlaneView{};
    setView(zoomed);
}

void DiagramViewport::zoomIn()
{
    zoomAbout(zoomStep(view().zoom, 1), QRectF(QPointF(), shownSize()).center());
}

void DiagramViewport::zoomOut()
{
    zoomAbout(zoomStep(view().zoom, -1), QRectF(QPointF(), shownSize()).center());
}

void DiagramViewport::reset()
{
    setView(PlaneView{});
}

void DiagramViewport::fit()
{
    const BlockTable &table = m_table();
    if (table.liveIds().empty())
        return reset();
    const QRectF area = diagramArea(table, m_view->surface().mapping());
    const QSize size(m_view->surface().pixelWidth(), m_view->surface().pixelHeight());
    const double zoom = std::clamp(std::min(size.width() / area.width(), size.height() / area.height()),
                                   PlaneView::kMinZoom, PlaneView::kMaxZoom);
    setView({zoom, toWhole(area.center().x() * zoom - size.width() / 2.0),
             toWhole(area.center().y() * zoom - size.height() / 2.0)});
}

QRect DiagramViewport::blockExtent(int id) const
{
    const Block &block = m_table().block(id);
    const PixelMapping &mapping = m_view->surface().mapping();
    const double zoom = view().zoom;
    // The box with its shadow, half a unit right and down.
    const QPoint from(toWhole(std::floor(mapping.ScaleToPixelsX(block.x) * zoom)),
                      toWhole(std::floor(mapping.ScaleToPixelsY(block.y) * zoom)));
    const QPoint to(toWhole(std::ceil(mapping.ScaleToPixelsX(block.x + BlockBoxSize + 0.5f) * zoom)),
                    toWhole(std::ceil(mapping.ScaleToPixelsY(block.y + BlockBoxSize + 0.5f) * zoom)));
    return QRect(from, to - QPoint(1, 1));
}

QRect DiagramViewport::blocksExtent() const
{
    QRect extent;
    for (int id : m_table().liveIds())
        extent |= blockExtent(id);
    return extent;
}

void DiagramViewport::showBlock(int id)
{
    if (!m_table().isLive(id))
        return;
    // With room for the focus ring round the box, so that the ring is not cut at the view's edge.
    constexpr int kRingRoom = 6;
    const QRect box = blockExtent(id).adjusted(-kRingRoom, -kRingRoom, kRingRoom, kRingRoom);
    // What the bars leave of the view.
    const QSize shown = shownSize() - QSize(m_vertical->isVisibleTo(m_view) ? m_vertical->width() : 0,
                                            m_horizontal->isVisibleTo(m_view) ? m_horizontal->height() : 0);
    const auto into = [](int low, int high, int from, int length) {
        return low < from ? low : high >= from + length ? std::min(low, high - length + 1) : from;
    };
    PlaneView moved = view();
    moved.left = into(box.left(), box.right(), moved.left, shown.width());
    moved.top = into(box.top(), box.bottom(), moved.top, shown.height());
    setView(moved);
}

QSize DiagramViewport::shownSize() const
{
    return QSize(m_view->surface().pixelWidth(), m_view->surface().pixelHeight());
}

void DiagramViewport::followBlocks()
{
    const QRect blocks = blocksExtent();
    const PlaneView &now = view();
    const int thickness = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    QSize shown = shownSize();
    bool across = false, down = false;
    // A bar takes room from the other direction, which may then need its own bar too.
    for (int pass = 0; pass < 2 && !blocks.isNull(); ++pass) {
        across = blocks.left() < now.left || blocks.right() >= now.left + shown.width();
        down = blocks.top() < now.top || blocks.bottom() >= now.top + shown.height();
        shown = shownSize() - QSize(down ? thickness : 0, across ? thickness : 0);
    }
    const auto follow = [](QScrollBar *bar, bool needed, int low, int high, int value, int page) {
        const QSignalBlocker quiet(bar);
        // The range holds the view where it is and the start-up place, so a bar never moves the view.
        bar->setRange(std::min({low, value, 0}), std::max({high - page + 1, value, 0}));
        bar->setValue(value);
        bar->setPageStep(std::max(page, 1));
        bar->setSingleStep(std::max(page / 20, 1));
        bar->setVisible(needed);
    };
    follow(m_horizontal, across, blocks.left(), blocks.right(), now.left, shown.width());
    follow(m_vertical, down, blocks.top(), blocks.bottom(), now.top, shown.height());
    if (blocks.isNull()) {
        m_horizontal->hide();
        m_vertical->hide();
    }
    placeBars();
}

void DiagramViewport::placeBars()
{
    const QRect inner = m_view->contentsRect();
    const int thickness = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_view);
    const int right = m_vertical->isVisibleTo(m_view) ? thickness : 0;
    const int bottom = m_horizontal->isVisibleTo(m_view) ? thickness : 0;
    m_horizontal->setGeometry(inner.left(), inner.bottom() + 1 - thickness, inner.width() - right, thickness);
    m_vertical->setGeometry(inner.right() + 1 - thickness, inner.top(), thickness, inner.height() - bottom);
}

void DiagramViewport::scrollBy(QScrollBar *bar, int pixels)
{
    bar->setValue(bar->value() + pixels); // held within the bar's range
}

bool DiagramViewport::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize)
        placeBars();
    if (watched != m_view || event->type() != QEvent::Wheel)
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    const QPoint turned = wheel->angleDelta();
    if (wheel->modifiers() & Qt::ControlModifier) {
        const int notches =
            int(std::clamp(std::lround((turned.y() != 0 ? turned.y() : turned.x()) / kNotch), -20L, 20L));
        zoomAbout(zoomStep(view().zoom, notches), wheel->position() - QPointF(m_view->contentsRect().topLeft()));
        return true;
    }
    const int lines = QApplication::wheelScrollLines();
    const auto pixels = [&](int delta, QScrollBar *bar) {
        return -int(std::lround(delta / kNotch * lines * bar->singleStep()));
    };
    // Shift turns the wheel sideways; a wheel that turns sideways of itself scrolls across.
    const bool sideways = wheel->modifiers() & Qt::ShiftModifier;
    scrollBy(m_horizontal, pixels(sideways ? turned.y() + turned.x() : turned.x(), m_horizontal));
    if (!sideways)
        scrollBy(m_vertical, pixels(turned.y(), m_vertical));
    return true;
}

} // namespace tessik
