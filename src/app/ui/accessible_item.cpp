#include "app/ui/accessible_item.h"

#include <QObject>

namespace tessik {

namespace {

QHash<const QObject *, std::function<QAccessibleInterface *(QObject *)>> &exposed()
{
    static QHash<const QObject *, std::function<QAccessibleInterface *(QObject *)>> makers;
    return makers;
}

QAccessibleInterface *makeExposed(const QString &, QObject *object)
{
    const auto found = exposed().constFind(object);
    return found == exposed().constEnd() ? nullptr : (*found)(object);
}

} // namespace

void exposeAccessible(QObject *object, std::function<QAccessibleInterface *(QObject *)> make)
{
    static const bool installed = (QAccessible::installFactory(makeExposed), true);
    Q_UNUSED(installed);
    exposed().insert(object, std::move(make));
    QObject::connect(object, &QObject::destroyed, [object] { exposed().remove(object); });
}

} // namespace tessik
