#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QHash>

#include <functional>

namespace tessik {

// A part of a custom-drawn control that assistive tools read as a control of its own (a cell of
// a key picture, a block of the diagram): it has no widget, so it answers for itself what it is
// and where it lies, and has no children.
class AccessibleItem : public QAccessibleInterface {
public:
    explicit AccessibleItem(QAccessibleInterface *parent) : m_parent(parent) {}

    bool isValid() const override { return true; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_parent->window(); }
    QAccessibleInterface *parent() const override { return m_parent; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}

private:
    QAccessibleInterface *m_parent;
};

// The items of one control by a key of their own. The accessibility cache owns each item once
// it is handed out; the items go when their key goes or the control does.
class AccessibleItems {
public:
    AccessibleItems() = default;
    AccessibleItems(const AccessibleItems &) = delete;
    AccessibleItems &operator=(const AccessibleItems &) = delete;
    ~AccessibleItems() { clear(); }

    template <typename Make> QAccessibleInterface *item(int key, Make make)
    {
        if (const auto found = m_ids.constFind(key); found != m_ids.constEnd())
            return QAccessible::accessibleInterface(*found);
        QAccessibleInterface *made = make();
        m_ids.insert(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }
    bool contains(int key) const { return m_ids.contains(key); }
    QList<int> keys() const { return m_ids.keys(); }
    void remove(int key)
    {
        if (m_ids.contains(key))
            QAccessible::deleteAccessibleInterface(m_ids.take(key));
    }
    void clear()
    {
        for (const QAccessible::Id id : std::as_const(m_ids))
            QAccessible::deleteAccessibleInterface(id);
        m_ids.clear();
    }

private:
    QHash<int, QAccessible::Id> m_ids;
};

// Gives the object the accessible interface `make` builds, when an assistive tool first asks for it.
void exposeAccessible(QObject *object, std::function<QAccessibleInterface *(QObject *)> make);

} // namespace tessik
