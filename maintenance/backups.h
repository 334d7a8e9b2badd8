// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/backup.h"

#include <QObject>
#include <QString>

class QThread;
class QWidget;

namespace maintenance {

// Takes a backup of the catalogue before a change that replaces much of it (an
// import, a compaction, a restore). When none can be made, asks whether to go on
// without one, No being the default. Answers true when a backup was made or the user
// chose to go on. keep is a backup that the retention must not remove meanwhile;
// madePath receives the backup made (empty when none was).
bool backupBeforeChange(QWidget *parent, const QString &catalogueFile, catalogue::BackupReason reason,
                        const QString &keep = {}, QString *madePath = nullptr);

// The backup a start of the program takes when one is due, on a thread of its own so
// that the window never waits for it. A failure is only reported by the signal:
// nothing is asked, and the next start tries again. Waits for the thread when deleted.
class StartupBackup : public QObject {
    Q_OBJECT
public:
    explicit StartupBackup(const QString &catalogueFile, QObject *parent = nullptr);
    ~StartupBackup() override;
    bool isRunning() const;

signals:
    // made: a backup was taken; problem: why none could be when one was due.
    void finished(bool made, const QString &problem);

private:
    QThread *thread_;
    bool made_ = false;
    QString problem_;
};

} // namespace maintenance
