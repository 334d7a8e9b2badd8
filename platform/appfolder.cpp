#include "appfolder.h"

#include <QDir>

namespace platform {

namespace {
QString inFolder(const QString &folder, const char *name)
{
    return QDir::cleanPath(folder) + QLatin1Char('/') + QLatin1String(name);
}
} // namespace

QString catalogueFile(const QString &folder) { return inFolder(folder, "DVDs.mdb"); }
QString compactionWorkFile(const QString &folder) { return inFolder(folder, "DVDs1.mdb"); }
QString helpFile(const QString &folder) { return inFolder(folder, "Moviary.chm"); }
QString tipsFile(const QString &folder) { return inFolder(folder, "TIPOFDAY.TXT"); }

} // namespace platform
