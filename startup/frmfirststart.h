// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/locations.h"

#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class QRadioButton;

namespace startup {

// The first start of an installed Moviary that has no catalogue yet: start an empty
// catalogue, start with the sample films, or open an existing catalogue file, copied
// into the data folder or used where it is. The window accepts once the catalogue is
// there; Cancel, Escape or the close box reject it and nothing is made.
class FrmFirstStart : public QDialog {
    Q_OBJECT
public:
    explicit FrmFirstStart(const platform::Locations &locations, QWidget *parent = nullptr);

    // The files to use after the window accepted.
    platform::Locations chosen() const { return chosen_; }

private:
    void onEmptyClicked();
    void onSampleClicked();
    void onOpenClicked();
    void startNew(int contents);
    void finish(const platform::Locations &locations, const QString &remembered);
    void complain(const QString &why);

    platform::Locations locations_;
    platform::Locations chosen_;

    QLabel *introLabel_;
    QLabel *missingLabel_;
    QPushButton *emptyButton_;
    QPushButton *sampleButton_;
    QPushButton *openButton_;
    QRadioButton *copyOption_;
    QRadioButton *inPlaceOption_;
    QPushButton *cancelButton_;
};

// Shows the first-start window and waits for the user: the files to use, or nothing
// when the user cancelled.
std::optional<platform::Locations> runFirstStart(const platform::Locations &locations);

} // namespace startup
