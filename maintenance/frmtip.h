#pragma once

#include <QDialog>
#include <QRandomGenerator>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

namespace maintenance {

// The tip of the day: one random line of TIPOFDAY.TXT at a time, and the check box
// that decides whether the window opens at start-up.
class FrmTip : public QDialog {
    Q_OBJECT
public:
    explicit FrmTip(const QString &appFolder, QWidget *parent = nullptr);

    // Appends the file's lines to the tips and shows a random one. False, reading
    // nothing, when the name is empty or names no readable ordinary file.
    bool LoadTips(const QString &fileName);
    void DisplayCurrentTip();

    // What the tip area says when TIPOFDAY.TXT cannot be found.
    static QString missingFileText();

private:
    void Form_Load();
    void SelectRandomTip();
    void cmdNextTip_Click();
    void cmdOK_Click();
    void chkLoadTipsAtStartup_Click();

    QString appFolder_;
    QStringList TipList;     // 1-based in CurrentTipIndex
    int CurrentTipIndex = 0;
    QRandomGenerator random_;

    QLabel *Picture1;
    QLabel *Label1;
    QLabel *lblTipText;
    QCheckBox *chkLoadTipsAtStartup;
    QPushButton *cmdNextTip;
    QPushButton *cmdOK;
};

} // namespace maintenance
