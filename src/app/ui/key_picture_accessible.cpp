#include "app/ui/key_picture_accessible.h"

#include "app/ui/accessible_item.h"

#include <QAccessibleWidget>

namespace tessik {

namespace {

struct KeyCell {
    QString value;
    QRect area; // in pixels of the picture
};

// Found from the picture by the rules a press follows, so that what a tool reads is what a press
// picks: each value's cell bounds the pixels that pick it.
QList<KeyCell> findCells(const QImage &picture, KeyPictureReader read)
{
    QList<KeyCell> cells;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QString value = read(picture, x, y);
            if (value.isEmpty())
                continue;
            const auto cell =
                std::find_if(cells.begin(), cells.end(), [&](const KeyCell &c) { return c.value == value; });
            if (cell == cells.end())
                cells.append({value, QRect(x, y, 1, 1)});
            else
                cell->area |= QRect(x, y, 1, 1);
        }
    }
    return cells;
}

class KeyPictureAccessible;

class KeyCellAccessible : public AccessibleItem {
public:
    KeyCellAccessible(QAccessibleWidget *picture, const KeyCell &cell, const QString &kind)
        : AccessibleItem(picture), m_cell(cell), m_kind(kind)
    {
    }

    QAccessible::Role role() const override { return QAccessible::Button; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_cell.value : t == QAccessible::Description ? m_kind : QString();
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = parent()->state().invisible;
        return state;
    }
    QRect rect() const override
    {
        const auto *picture = static_cast<QWidget *>(parent()->object());
        return m_cell.area.translated(picture->mapToGlobal(picture->contentsRect().topLeft()));
    }

private:
    KeyCell m_cell;
    QString m_kind;
};

class KeyPictureAccessible : public QAccessibleWidget {
public:
    KeyPictureAccessible(QWidget *picture, SurfaceView::PictureSource source, KeyPictureReader read,
                         const QString &kind)
        : QAccessibleWidget(picture, QAccessible::Grouping), m_source(source), m_read(read), m_kind(kind)
    {
    }

    int childCount() const override { return int(cells().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= cells().size())
            return nullptr;
        auto *self = const_cast<KeyPictureAccessible *>(this);
        return m_items.item(index, [&] { return new KeyCellAccessible(self, cells()[index], m_kind); });
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int index = 0; index < cells().size(); ++index)
            if (m_items.contains(index) && this->child(index) == child)
                return index;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int index = 0; index < cells().size(); ++index)
            if (child(index)->rect().contains(x, y))
                return child(index);
        return nullptr;
    }

private:
    // Found when a tool first reads the cells, not when the window starts.
    const QList<KeyCell> &cells() const
    {
        if (m_cells.isEmpty())
            m_cells = findCells(m_source(1), m_read);
        return m_cells;
    }

    SurfaceView::PictureSource m_source;
    KeyPictureReader m_read;
    QString m_kind;
    mutable QList<KeyCell> m_cells;
    mutable AccessibleItems m_items;
};

} // namespace

void exposeKeyCells(SurfaceView *picture, SurfaceView::PictureSource source, KeyPictureReader read, const QString &kind)
{
    exposeAccessible(picture, [source, read, kind](QObject *object) {
        return new KeyPictureAccessible(static_cast<QWidget *>(object), source, read, kind);
    });
}

} // namespace tessik
