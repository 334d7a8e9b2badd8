// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>

namespace testsupport {

// The controls of a window's accessible tree that take the keyboard focus but give a
// screen reader no name, or a name with blanks at either end; each as "role objectName".
QStringList unnamedFocusable(QWidget *window);

// The role a screen reader is told for the window.
QAccessible::Role accessibleRole(QWidget *window);

} // namespace testsupport
