// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAccessibleInterface>

namespace testsupport {

namespace {

void walk(QAccessibleInterface *node, const QWidget *root, QStringList &found, int depth)
{
    if (!node || !node->isValid() || depth > 50)
        return;
    // A popup of its own (a combo box's list) is read as the box it belongs to.
    if (auto *w = qobject_cast<QWidget *>(node->object()); w && w->window() != root)
        return;
    const QAccessible::State state = node->state();
    const QString name = node->text(QAccessible::Name);
    // Cells and items are read with their row and column; an empty one is an empty value.
    const bool item = node->role() == QAccessible::Cell || node->role() == QAccessible::ListItem ||
                      node->role() == QAccessible::TreeItem || node->role() == QAccessible::RowHeader ||
                      node->role() == QAccessible::ColumnHeader;
    if (!item && state.focusable && (name.trimmed().isEmpty() || name != name.trimmed())) {
        QObject *object = node->object();
        if (object && object->objectName().isEmpty() && object->parent())
            object = object->parent(); // the inner line edit of a combo box is known by the box
        found << QString("%1 %2 \"%3\"")
                     .arg(int(node->role()))
                     .arg(object ? object->objectName() + "(" + object->metaObject()->className() + ")"
                                 : QStringLiteral("?"),
                          name);
    }
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), root, found, depth + 1);
}

} // namespace

QStringList unnamedFocusable(QWidget *window)
{
    QStringList found;
    walk(QAccessible::queryAccessibleInterface(window), window, found, 0);
    return found;
}

QAccessible::Role accessibleRole(QWidget *window)
{
    QAccessibleInterface *node = QAccessible::queryAccessibleInterface(window);
    return node ? node->role() : QAccessible::NoRole;
}

} // namespace testsupport
