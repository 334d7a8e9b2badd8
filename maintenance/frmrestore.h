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
// beside the catalogue's own, and brings the chosen one back: the catalogue is backed
// up first, then the backup comes in atomically, then the main window lists all
// movies. Backups are checked on a thread of their own, so that the list opens at
// once; a damaged one is shown as such and cannot be chosen.
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
    void cmdRestore_Click();

    widgets::CatalogueHost &host_;
    QString catalogueFile_;
    QThread *checker_ = nullptr;
    std::shared_ptr<std::atomic<bool>> stop_;

    QLabel *lblCurrent;
    QListWidget *lstBackups;
    QPushButton *cmdRestore;
    QPushButton *cmdCancel;
};

} // namespace maintenance
