// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace lookup {
class FillIn;
class Source;
} // namespace lookup

namespace widgets {
class CatalogueHost;
}

namespace lookupwindows {

// Fills in the details of many movies at once: looks them up one by one without blocking,
// lists what each confident match would change for the user to confirm, and writes the
// confirmed changes after a backup. Movies it could not settle are listed with the reason.
class FrmFillIn : public QDialog {
    Q_OBJECT
public:
    explicit FrmFillIn(widgets::CatalogueHost &host, QWidget *parent = nullptr);
    ~FrmFillIn() override;

    // Stops a run in flight whichever way the window closes.
    void done(int result) override;

private:
    void onStartClicked();
    void onCancelClicked();
    void onProgressed(int done, int total);
    void onFinished();
    void onApplyClicked();
    void showRunning(bool running);
    void fillReview();

    widgets::CatalogueHost &host_;
    std::unique_ptr<lookup::Source> source_;
    std::unique_ptr<lookup::FillIn> fillIn_;

    QRadioButton *allMovies_;
    QRadioButton *listedMovies_;
    QCheckBox *onlyMissing_;
    QPushButton *startButton_;
    QLabel *progressLabel_;
    QProgressBar *progressBar_;
    QPushButton *cancelButton_;
    QLabel *resultLabel_;
    QTreeWidget *changes_;
    QTreeWidget *setAside_;
    QPushButton *applyButton_;
    QLabel *summaryLabel_;
    QPushButton *closeButton_;
};

} // namespace lookupwindows
