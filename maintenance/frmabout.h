#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace maintenance {

// Names the product and its maker.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *parent = nullptr);

private:
    void Form_Load();
    void cmdOk_Click();

    QFrame *Shape1;
    QLabel *Image2;
    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QPushButton *cmdOk;
};

} // namespace maintenance
