// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange/importer.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace widgets {
class CatalogueHost;
}

namespace importexport {

// Brings movies in from another program's file. Shows, before anything is written,
// the format found, which column goes to which field, the first movies as they will
// be stored and how many there are; "Import" stores them all in one step or none.
class FrmImport : public QDialog {
    Q_OBJECT
public:
    explicit FrmImport(widgets::CatalogueHost &host, QWidget *parent = nullptr);

    // Asks for a file and reads it. False when none was picked or it could not be read
    // (the user was told why).
    bool chooseFile();
    // Reads the file and shows what it holds; false, after saying why, when it cannot.
    bool openFile(const QString &path);
    // Imports of more movies than this show a progress dialog.
    void setProgressThreshold(int movies) { progressThreshold_ = movies; }

private:
    void fillMapping();
    void onHeaderToggled(bool header);
    void onMappingChanged();
    void replan();
    void showPreview();
    void showCounts();
    void onImportClicked();
    platform::Failure storeWithProgress(const std::vector<qsizetype> &chosen);

    widgets::CatalogueHost &host_;
    exchange::ImportSource source_;
    exchange::DuplicateIndex present_;
    exchange::Mapping mapping_;
    exchange::ImportPlan plan_;
    int progressThreshold_ = 2000;

    QLabel *fileLabel_;
    QLabel *formatLabel_;
    QCheckBox *header_;
    QTableWidget *mappingTable_;
    std::vector<QComboBox *> fieldCombos_;
    QTableWidget *preview_;
    QLabel *countLabel_;
    QCheckBox *skipDuplicates_;
    QCheckBox *onlyMovies_;
    QPushButton *importButton_;
    QPushButton *cancelButton_;
};

} // namespace importexport
