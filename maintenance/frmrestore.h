// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <atomic>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QThread;

namespace widgets {
class CatalogueHost;
}

namespace maintenance {

// Lists the catalogue's backups, newest first, with the number of movies each holds
// and why it was taken, beside the catalogue's own, and brings the chosen one back
// once the user agrees: the catalogue is backed up first, then the backup comes in
// atomically, then the main window lists all movies and a message says what happened. Backups are checked on a thread
// of their own, so that the list opens at once; a damaged one is shown as such and cannot be chosen.
class FrmRestore : public QWidget {
    Q_OBJECT
public:
    FrmRestore(widgets::CatalogueHost &host, const QString &catalogueFile, QWidget *parent = nullptr);
    ~FrmRestore() override;

private:
    void loadBackups();
    void stopChecking();
    void showChecked(int row, bool intact, qint64 movies);
    void updateRestoreEnabled();
    void onRestoreClicked();

    widgets::CatalogueHost &host_;
    QString catalogueFile_;
    qint64 currentMovies_ = -1;
    QThread *checker_ = nullptr;
    std::shared_ptr<std::atomic<bool>> stop_;

    QLabel *currentLabel_;
    QListWidget *backupList_;
    QPushButton *restoreButton_;
    QPushButton *cancelButton_;
};

} // namespace maintenance
