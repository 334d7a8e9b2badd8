// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QString>
#include <QWidget>

// Registers the program's pictures and icons (resources/resources.cpp).
void moviaryInitResources();

namespace testsupport {

// The visible top-level window of that objectName, or null.
QWidget *topLevel(const QString &name);
// Closes every visible top-level window but those of that objectName.
void closeWindowsBut(const QString &keptName);

// The control of that objectName and type inside a window; the test stops when there
// is none (or no window).
template <class T>
T *control(QWidget *window, const char *name)
{
    T *w = window ? window->findChild<T *>(name) : nullptr;
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// Deletes the windows that closed themselves, as the event loop would.
void flushDeletes();

// Types a movie into an add or edit dialog, field by field, the way a user leaves it.
void enter(QWidget *dialog, const catalogue::Movie &m);
// The movie an add or edit dialog shows.
catalogue::Movie shown(QWidget *dialog);

} // namespace testsupport
