// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtGlobal>

// Static libraries drop their compiled-in pictures unless something pulls them in:
// the program calls this once at start.
void moviaryInitResources() { Q_INIT_RESOURCE(moviary); }
