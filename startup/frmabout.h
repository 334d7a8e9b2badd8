// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QPushButton;

namespace startup {

// Names the product and its maker.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *parent = nullptr);

private:
    void load();
    void onOkClicked();

    QPushButton *okButton_;
};

} // namespace startup
