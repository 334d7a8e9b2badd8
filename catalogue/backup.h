// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace catalogue {

// Why a backup was taken. Unknown for backups named before the reason was written.
enum class BackupReason { Unknown, Startup, BeforeCompaction, BeforeImport, BeforeRestore, BeforeFillIn };

// The reason as the backup list shows it ("before import"); empty for Unknown.
QString backupReasonText(BackupReason reason);

// One automatic backup: a file <name>-YYYYMMDD-HHMMSS[.reason].mdb (local time; -2,
// -3 ... added before the reason for a later backup of the same second) in the folder
// Backups beside the catalogue, where <name> is the catalogue's own (DVDs for DVDs.mdb)
// and reason one of startup, compaction, import, restore, fillin.
struct BackupFile {
    QString path;
    QDateTime taken;
    int sequence = 1;
    BackupReason reason = BackupReason::Unknown;
};

// How many backups are kept beside the newest of each of the last days.
constexpr int BackupsKept = 10;
constexpr int BackupDaysKept = 7;

QString backupFolder(const QString &catalogueFile);

// The catalogue's backups, newest first. Work files of a backup in progress and files
// of other names are not backups and are never listed.
QList<BackupFile> listBackups(const QString &catalogueFile);

// What a look into a backup found.
struct BackupContents {
    bool intact = false;
    qint64 movies = 0;
    int code = SQLITE_OK; // SQLite's code for what is wrong
    QString problem;      // why it cannot be restored
};
BackupContents inspectBackup(const QString &path);

// The number of movies in a catalogue file, or -1 when it cannot be read.
qint64 catalogueMovieCount(const QString &catalogueFile);

// Takes a backup of the catalogue through SQLite's online backup API (a consistent
// copy even while other connections write), checks it with quick_check and its count
// of movies, and only then gives it its name: a backup that was cut short or failed
// its check never counts. Then removes the backups the retention no longer keeps
// (except keep). Serialised within the process. madePath receives the new file; the
// reason is written into its name.
platform::Failure backUpCatalogue(const QString &catalogueFile, QString *madePath = nullptr, const QString &keep = {},
                                  const QDateTime &now = QDateTime::currentDateTime(),
                                  BackupReason reason = BackupReason::Unknown);

// The backup a path names, as listBackups() reads it; taken is invalid when the path
// is not a backup of the catalogue.
BackupFile backupOf(const QString &catalogueFile, const QString &path);

// The backups the retention drops: all but the BackupsKept newest and the newest of
// each of the BackupDaysKept calendar days up to today.
QList<BackupFile> expiredBackups(const QList<BackupFile> &newestFirst, const QDate &today);

// Removes the expired backups except keep; answers how many could not be removed.
int pruneBackups(const QString &catalogueFile, const QDate &today, const QString &keep = {});

// Whether a start of the program should take a backup: when there is none yet, or the
// newest is more than a day old (or dated ahead of the clock) and the movies differ.
bool backupDueAtStartup(const QString &catalogueFile, const QDateTime &now = QDateTime::currentDateTime());

// Takes a backup when one is due at start-up; made tells whether one was, the answer
// why one could not be.
platform::Failure backUpAtStartupIfDue(const QString &catalogueFile, bool &made,
                                       const QDateTime &now = QDateTime::currentDateTime());

// Brings a backup into the catalogue, the way a compaction brings in its copy: checked
// first, then written in one transaction through the catalogue's journal. Refuses
// while another window or program has the catalogue open; on any failure the
// catalogue stays exactly as it was.
platform::Failure restoreBackup(const QString &backupFile, const QString &catalogueFile);

// Puts a good backup in the place of a catalogue that cannot be opened: the damaged
// file (and any journal beside it) is kept under a new name, keptAs, in the same folder
// ("DVDs.damaged-YYYYMMDD-HHMMSS.mdb"), never deleted. On failure nothing is moved.
platform::Failure recoverFromBackup(const QString &backupFile, const QString &catalogueFile, QString *keptAs = nullptr,
                                    const QDateTime &now = QDateTime::currentDateTime());

} // namespace catalogue
