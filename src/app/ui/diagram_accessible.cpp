#include "app/ui/diagram_accessible.h"

#include "app/core/document.h"
#include "app/ui/accessible_item.h"
#include "app/ui/diagram_area.h"
#include "model/spoken_block.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPointer>

#include <map>
#include <memory>

namespace tessik {

namespace {

class DiagramAccessible;

class BlockAccessible : public AccessibleItem {
public:
    BlockAccessible(DiagramAccessible *diagram, int id);

    int id() const { return m_id; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QRect rect() const override;

private:
    DiagramAccessible *m_diagram;
    int m_id;
};

class DiagramAccessible : public QAccessibleWidget {
public:
    // `made` points to this interface while it lives.
    DiagramAccessible(QWidget *view, DiagramArea &area, const Document &document,
                      std::shared_ptr<DiagramAccessible *> made)
        : QAccessibleWidget(view, QAccessible::List), m_area(&area), m_document(document), m_made(std::move(made))
    {
        *m_made = this;
        for (const int id : table().liveIds())
            m_said[id] = texts(id);
    }
    ~DiagramAccessible() override { *m_made = nullptr; }

    bool isValid() const override { return QAccessibleWidget::isValid() && m_area; }
    const BlockTable &table() const { return m_document.table(); }
    int selected() const { return m_area && table().isLive(m_area->selectedBlock()) ? m_area->selectedBlock() : 0; }
    bool hasFocus() const { return widget()->hasFocus(); }

    int childCount() const override { return table().liveCount(); }
    QAccessibleInterface *child(int index) const override
    {
        const std::vector<int> ids = table().liveIds();
        return index >= 0 && index < int(ids.size()) ? item(ids[size_t(index)]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *block = dynamic_cast<const BlockAccessible *>(child);
        const std::vector<int> ids = table().liveIds();
        const auto found = block ? std::find(ids.begin(), ids.end(), block->id()) : ids.end();
        return found == ids.end() ? -1 : int(found - ids.begin());
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        // The block drawn last lies on top.
        const std::vector<int> ids = table().liveIds();
        for (auto id = ids.rbegin(); id != ids.rend(); ++id)
            if (blockRect(*id).contains(x, y))
                return item(*id);
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override { return hasFocus() && selected() ? item(selected()) : nullptr; }

    QAccessibleInterface *item(int id) const
    {
        auto *self = const_cast<DiagramAccessible *>(this);
        return m_items.item(id, [&] { return new BlockAccessible(self, id); });
    }
    QRect blockRect(int id) const
    {
        const Block &block = table().block(id);
        const PixelMapping &m = m_area->mapping();
        const QRect inView(QPoint(m.ScaleToPixelsX(block.x), m.ScaleToPixelsY(block.y)),
                           QPoint(m.ScaleToPixelsX(block.x + BlockBoxSize), m.ScaleToPixelsY(block.y + BlockBoxSize)));
        return inView.translated(widget()->mapToGlobal(widget()->contentsRect().topLeft()));
    }

    // Tells the tools which blocks came, went or read differently since the table last changed.
    void followTable()
    {
        for (const int id : m_items.keys()) {
            if (!table().isLive(id)) {
                tell(id, QAccessible::ObjectDestroyed);
                m_items.remove(id);
            }
        }
        std::map<int, std::pair<QString, QString>> said;
        for (const int id : table().liveIds()) {
            said[id] = texts(id);
            const auto before = m_said.find(id);
            if (before == m_said.end())
                tell(id, QAccessible::ObjectCreated);
            else if (before->second.first != said[id].first)
                tell(id, QAccessible::NameChanged);
            if (before != m_said.end() && before->second.second != said[id].second)
                tell(id, QAccessible::DescriptionChanged);
        }
        m_said = std::move(said);
    }

    void followSelection()
    {
        QAccessible::State changed;
        changed.selected = true;
        for (const int id : {m_lastSelected, selected()}) {
            if (table().isLive(id)) {
                QAccessibleStateChangeEvent event(item(id), changed);
                QAccessible::updateAccessibility(&event);
            }
        }
        m_lastSelected = selected();
        announceFocus();
    }

    // The focus is on the selected block: say it.
    void announceFocus()
    {
        if (focusChild())
            tell(selected(), QAccessible::Focus);
    }

private:
    std::pair<QString, QString> texts(int id) const
    {
        return {spokenName(table().block(id)), spokenDescription(table(), id)};
    }
    void tell(int id, QAccessible::Event type) const
    {
        QAccessibleEvent event(item(id), type);
        QAccessible::updateAccessibility(&event);
    }

    QPointer<DiagramArea> m_area;
    const Document &m_document;
    std::shared_ptr<DiagramAccessible *> m_made;
    mutable AccessibleItems m_items;
    std::map<int, std::pair<QString, QString>> m_said; // name and description, by block
    int m_lastSelected = 0;
};

BlockAccessible::BlockAccessible(DiagramAccessible *diagram, int id)
    : AccessibleItem(diagram), m_diagram(diagram), m_id(id)
{
}

QString BlockAccessible::text(QAccessible::Text t) const
{
    const BlockTable &table = m_diagram->table();
    if (!table.isLive(m_id))
        return QString();
    return t == QAccessible::Name          ? spokenName(table.block(m_id))
           : t == QAccessible::Description ? spokenDescription(table, m_id)
                                           : QString();
}

QAccessible::State BlockAccessible::state() const
{
    QAccessible::State state;
    state.selectable = state.focusable = true;
    state.selected = m_diagram->selected() == m_id;
    state.focused = state.selected && m_diagram->hasFocus();
    const QRect inView = m_diagram->rect();
    state.invisible = m_diagram->state().invisible;
    state.offscreen = !inView.intersects(rect());
    return state;
}

QRect BlockAccessible::rect() const
{
    return m_diagram->blockRect(m_id);
}

// When the keyboard focus comes to the diagram, the tools hear of the selected block after the
// diagram itself.
class FocusFollower : public QObject {
public:
    FocusFollower(QWidget *view, std::function<void()> follow) : QObject(view), m_follow(std::move(follow))
    {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            QMetaObject::invokeMethod(this, m_follow, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_follow;
};

} // namespace

void exposeDiagram(DiagramArea &area, const Document &document)
{
    // Nothing is told until a tool has read the diagram: only then is its interface made.
    const auto made = std::make_shared<DiagramAccessible *>(nullptr);
    QWidget *view = area.view();
    exposeAccessible(view, [&area, &document, made](QObject *object) {
        return new DiagramAccessible(static_cast<QWidget *>(object), area, document, made);
    });
    QObject::connect(&document, &Document::tableChanged, &area, [made] {
        if (*made)
            (*made)->followTable();
    });
    QObject::connect(&area, &DiagramArea::selectionChanged, &area, [made] {
        if (*made)
            (*made)->followSelection();
    });
    new FocusFollower(view, [made] {
        if (*made)
            (*made)->announceFocus();
    });
}

} // namespace tessik
