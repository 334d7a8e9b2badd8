// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/appfolder.h"

#include "platform/locations.h"

namespace platform {

QString catalogueFile(const QString &folder) { return Locations::portable(folder).catalogueFile(); }
QString compactionWorkFile(const QString &folder) { return Locations::portable(folder).compactionWorkFile(); }
QString helpFile(const QString &folder) { return Locations::portable(folder).helpFile(); }
QString tipsFile(const QString &folder) { return Locations::portable(folder).tipsFile(); }

} // namespace platform
