// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace widgets {
class CatalogueHost;
}

namespace maintenance {

// Compacts DVDs.mdb through the work file DVDs1.mdb, showing its progress on a red
// bar. Every way of closing makes the main window list all movies again.
class FrmCompact : public QWidget {
    Q_OBJECT
public:
    explicit FrmCompact(widgets::CatalogueHost &host, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void load();
    void unload();
    void onCompactClicked();
    void onCancelClicked();
    void onHelpClicked();
    void setBarWidth(int twips);

    widgets::CatalogueHost &host_;
    bool unloaded_ = false;

    QLabel *statusLabel_;
    QLabel *reasonLabel_;
    QFrame *progressBar_;
    QPushButton *compactButton_;
    QPushButton *cancelButton_;
    QPushButton *helpButton_;
};

} // namespace maintenance
