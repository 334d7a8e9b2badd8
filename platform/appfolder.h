// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// The program's files when everything sits in one folder (see Locations::portable).
QString catalogueFile(const QString &folder);      // DVDs.mdb
QString compactionWorkFile(const QString &folder); // DVDs1.mdb
QString helpFile(const QString &folder);           // Moviary.chm
QString tipsFile(const QString &folder);           // TIPOFDAY.TXT

} // namespace platform
