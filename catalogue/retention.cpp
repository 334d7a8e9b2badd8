// SPDX-License-Identifier: GPL-3.0-or-later
// Which backups are kept: the newest few, and one for each of the last days.
#include "catalogue/backup.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace catalogue {

QList<BackupFile> expiredBackups(const QList<BackupFile> &newestFirst, const QDate &today)
{
    QSet<QDate> daysSeen;
    QList<BackupFile> expired;
    for (int i = 0; i < newestFirst.size(); ++i) {
        const QDate day = newestFirst[i].taken.date();
        const bool recentDay = day <= today && day.daysTo(today) < BackupDaysKept;
        const bool newestOfDay = recentDay && !daysSeen.contains(day);
        if (recentDay)
            daysSeen.insert(day);
        if (i >= BackupsKept && !newestOfDay)
            expired << newestFirst[i];
    }
    return expired;
}

int pruneBackups(const QString &catalogueFile, const QDate &today, const QString &keep)
{
    const QString kept = keep.isEmpty() ? QString() : QFileInfo(keep).absoluteFilePath();
    int left = 0;
    for (const BackupFile &b : expiredBackups(listBackups(catalogueFile), today))
        if (b.path != kept && !QFile::remove(b.path))
            ++left;
    return left;
}

} // namespace catalogue
