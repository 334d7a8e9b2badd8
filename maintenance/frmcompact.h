#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace catalogue {
class CatalogueHost;
}

namespace maintenance {

// Compacts DVDs.mdb through the work file DVDs1.mdb, showing its progress on a red
// bar. Every way of closing makes the main window list all movies again.
class FrmCompact : public QWidget {
    Q_OBJECT
public:
    explicit FrmCompact(catalogue::CatalogueHost &host, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void cmdCompact_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    void setBarWidth(int twips);

    catalogue::CatalogueHost &host_;
    bool unloaded_ = false;

    QLabel *Image1;
    QLabel *lblStatus;
    QLabel *lblReason;
    QFrame *shpStat;
    QPushButton *cmdCompact;
    QPushButton *cmdCancel;
    QPushButton *cmdHelp;
};

} // namespace maintenance
