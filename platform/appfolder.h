#pragma once

#include <QString>

namespace platform {

// The program's files, each a fixed name in the application folder.
QString catalogueFile(const QString &folder);     // DVDs.mdb
QString compactionWorkFile(const QString &folder); // DVDs1.mdb
QString helpFile(const QString &folder);          // Moviary.chm
QString tipsFile(const QString &folder);          // TIPOFDAY.TXT

} // namespace platform
