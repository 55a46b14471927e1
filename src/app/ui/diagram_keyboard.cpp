#include "app/ui/diagram_keyboard.h"

#include "app/core/document.h"
#include "app/ui/diagram_area.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>

namespace tessik {

// The ring around the selected block while the diagram has the focus: a widget over the view, so
// the picture, and with it the snapshot and every export, never holds it.
class FocusRing : public QWidget {
public:
    FocusRing(DiagramArea &area, const Document &document) : QWidget(area.view()), m_area(area), m_document(document)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void follow()
    {
        const int id = m_area.selectedBlock();
        setGeometry(m_area.view()->contentsRect());
        setVisible(m_area.view()->hasFocus() && m_document.table().isLive(id));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Computed afresh from the mapping and the view each time, so the ring follows any change
        // of either: the box as the zoomed and scrolled view shows it.
        const PixelMapping &m = m_area.surface().mapping();
        const PlaneView &view = m_area.surface().view();
        const Block &b = m_document.table().block(m_area.selectedBlock());
        const QRectF box(QPointF(view.toViewX(m.ScaleToPixelsX(b.x)), view.toViewY(m.ScaleToPixelsY(b.y))),
                         QPointF(view.toViewX(m.ScaleToPixelsX(b.x + BlockBoxSize)),
                                 view.toViewY(m.ScaleToPixelsY(b.y + BlockBoxSize))));
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(box.adjusted(-4, -4, 4, 4), 6, 6);
    }

private:
    DiagramArea &m_area;
    const Document &m_document;
};

namespace {

Direction directionOf(int key)
{
    return key == Qt::Key_Left    ? Direction::Left
           : key == Qt::Key_Right ? Direction::Right
           : key == Qt::Key_Up    ? Direction::Up
                                  : Direction::Down;
}

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

DiagramKeyboard::DiagramKeyboard(DiagramArea &area, const Document &document, QWidget *editorPanel)
    : QObject(&area), m_area(area), m_document(document), m_view(area.view()), m_editor(editorPanel),
      m_ring(new FocusRing(area, document))
{
    // By Tab like any control; a click keeps the focus where it was, as it always has.
    m_view->setFocusPolicy(Qt::TabFocus);
    m_view->installEventFilter(this);
    m_editor->installEventFilter(this);
    connect(&area, &DiagramArea::selectionChanged, m_ring, &FocusRing::follow);
    connect(&document, &Document::tableChanged, this, &DiagramKeyboard::followTable);
    connect(qApp, &QApplication::focusChanged, this, &DiagramKeyboard::focusChanged);
}

void DiagramKeyboard::focusChanged(QWidget *old, QWidget *now)
{
    // A panel that hides with the focus in it passes the focus on along the chain, where the
    // diagram now stands first. It goes on to where it always went, unless the keys opened that
    // panel's editor; only Tab and the keys leave the focus in the diagram.
    if (now != m_view || m_returning || !old || old->isVisible())
        return;
    for (QWidget *w = m_view->nextInFocusChain(); w != m_view; w = w->nextInFocusChain()) {
        if (w->window() == m_view->window() && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

QString DiagramKeyboard::keyList()
{
    return QStringLiteral("Tab: the diagram takes the keys\n"
                          "Arrows: select the nearest block that way; Home: the impact at the top left\n"
                          "Enter: open the selected block; Insert: add a cause of it (a first block when none)\n"
                          "Delete: delete it\n"
                          "Ctrl+arrow: move it one unit; Ctrl+Shift+arrow: with the blocks below it\n"
                          "L: pick it up to link it, arrows choose the other block, Enter links, Esc drops\n"
                          "1 to 6: its category (Categories view) or notes value (Notes view), "
                          "by the number of its colour");
}

void DiagramKeyboard::followTable()
{
    if (!m_document.table().isLive(m_area.selectedBlock()))
        m_area.select(0);
    if (m_linkFrom != 0 && !m_document.table().isLive(m_linkFrom))
        m_linkFrom = 0;
    m_ring->follow();
}

bool DiagramKeyboard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor) {
        // An editor the keys opened gives the keys back to the diagram when it closes.
        if (event->type() == QEvent::Hide && m_editorFromKeys) {
            m_editorFromKeys = false;
            m_returning = true;
            m_view->setFocus(Qt::OtherFocusReason);
            m_returning = false;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::Resize:
        m_ring->follow();
        break;
    case QEvent::FocusOut:
        if (m_linkFrom != 0)
            endLink(false);
        m_ring->follow();
        break;
    case QEvent::ShortcutOverride: {
        // While a block is picked up, Esc drops it rather than closing the editor.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (m_linkFrom != 0 && key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress:
        return keyPressed(*static_cast<QKeyEvent *>(event));
    default:
        break;
    }
    return false;
}

bool DiagramKeyboard::keyPressed(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    const int k = key.key();
    if (m_linkFrom != 0)
        return mods == Qt::NoModifier && linkKey(k);
    const int selected = m_document.table().isLive(m_area.selectedBlock()) ? m_area.selectedBlock() : 0;
    if (isArrow(k) && (mods & Qt::ControlModifier) && (mods & ~(Qt::ControlModifier | Qt::ShiftModifier)) == 0) {
        if (selected != 0)
            moveSelected(k, mods & Qt::ShiftModifier);
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    if (isArrow(k) || k == Qt::Key_Home) {
        if (selected == 0 || k == Qt::Key_Home)
            m_area.select(topLeftImpact(m_document.table()));
        else if (const int next = nearestBlock(m_document.table(), selected, directionOf(k)))
            m_area.select(next);
    } else if (k == Qt::Key_Insert) {
        insert();
    } else if (selected == 0) {
        return false; // the keys below act on a block, and none is chosen
    } else if (isEnter(k)) {
        open(selected);
    } else if (k == Qt::Key_Delete) {
        Q_EMIT deleteRequested(selected);
    } else if (k == Qt::Key_L) {
        m_linkFrom = selected;
        m_area.outline(selected); // the red outline of a block picked up by the mouse
    } else if (k >= Qt::Key_1 && k <= Qt::Key_6) {
        giveValue(k - Qt::Key_0);
    } else {
        return false;
    }
    return true;
}

bool DiagramKeyboard::linkKey(int key)
{
    if (isArrow(key)) {
        if (const int next = nearestBlock(m_document.table(), m_area.selectedBlock(), directionOf(key)))
            m_area.select(next);
    } else if (key == Qt::Key_Home) {
        m_area.select(topLeftImpact(m_document.table()));
    } else if (isEnter(key) || key == Qt::Key_Escape) {
        endLink(isEnter(key));
    }
    return true; // nothing else acts while a block is picked up
}

void DiagramKeyboard::endLink(bool link)
{
    const int from = m_linkFrom, to = m_area.selectedBlock();
    m_linkFrom = 0;
    // Released on itself, the block stays where it is: there is no pointer to move it to.
    if (link && to != from && m_document.table().isLive(from) && m_document.table().isLive(to))
        m_area.gestures().linkOrRefuse(from, to);
    else
        Q_EMIT redrawRequested();
}

void DiagramKeyboard::moveSelected(int key, bool withDescendants)
{
    // As a release with the pointer at the box's centre one unit away.
    const int id = m_area.selectedBlock();
    const Block &b = m_document.table().block(id);
    const float dx = key == Qt::Key_Left ? -1.0f : key == Qt::Key_Right ? 1.0f : 0.0f;
    const float dy = key == Qt::Key_Up ? -1.0f : key == Qt::Key_Down ? 1.0f : 0.0f;
    m_area.gestures().moveTo(id, withDescendants ? kShiftKey : 0, b.x + kHalfBox + dx, b.y + kHalfBox + dy);
}

void DiagramKeyboard::insert()
{
    // A left press on empty space does nothing while a picked value waits to be dropped.
    if (m_area.isPicking())
        return;
    const BlockTable &table = m_document.table();
    const int parent = table.isLive(m_area.selectedBlock()) ? m_area.selectedBlock() : 0;
    const BlockPlace place =
        parent == 0 ? firstFreePlace(table) : freePlaceRightOf(table, table.block(parent).x, table.block(parent).y);
    Q_EMIT addRequested(place.x + kHalfBox, place.y + kHalfBox, parent);
    if (m_area.selectedBlock() != parent)
        m_editorFromKeys = true; // the new block's editor is open
}

void DiagramKeyboard::giveValue(int digit)
{
    m_area.gestures().dropValue(m_area.selectedBlock(), keyValue(m_area.colours().ViewType, digit));
}

void DiagramKeyboard::open(int id)
{
    // A left click on a block does nothing while a picked value waits to be dropped.
    if (m_area.isPicking())
        return;
    Q_EMIT openRequested(id);
    m_editorFromKeys = true;
}

} // namespace tessik
