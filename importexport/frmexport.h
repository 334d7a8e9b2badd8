// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace widgets {
class CatalogueHost;
}

namespace importexport {

// Writes the movies to a CSV file or a Tellico collection: all of them in title order,
// or the ones the list shows now, in its order.
class FrmExport : public QDialog {
    Q_OBJECT
public:
    explicit FrmExport(widgets::CatalogueHost &host, QWidget *parent = nullptr);

private:
    void onBrowseClicked();
    void onFormatChanged(int index);
    void onExportClicked();

    widgets::CatalogueHost &host_;
    QLineEdit *fileText_;
    QPushButton *browseButton_;
    QComboBox *formatCombo_;
    QRadioButton *allMovies_;
    QRadioButton *listedMovies_;
    QPushButton *exportButton_;
    QPushButton *cancelButton_;
};

} // namespace importexport
