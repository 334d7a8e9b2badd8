// Opening the windows the commands show: one instance each, without an owner.
#include "frmmain.h"

#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "maintenance/frmabout.h"
#include "maintenance/frmcompact.h"
#include "maintenance/frmtip.h"
#include "maintenance/report.h"
#include "platform/appfolder.h"
#include "platform/help.h"
#include "platform/windows.h"

void FrmMain::showAddDialog()
{
    QPointer<editor::FrmAddNew> slot = qobject_cast<editor::FrmAddNew *>(addDialog_.data());
    platform::showSingle(slot, [this] { return new editor::FrmAddNew(*this); });
    addDialog_ = slot.data();
}

void FrmMain::EditCurrentMovie()
{
    if (Data1->bof() || Data1->eof())
        return;
    QPointer<editor::FrmEdit> slot = qobject_cast<editor::FrmEdit *>(editDialog_.data());
    editor::FrmEdit::open(*this, slot);
    editDialog_ = slot.data();
}

void FrmMain::showCompaction()
{
    QPointer<maintenance::FrmCompact> slot = qobject_cast<maintenance::FrmCompact *>(compactDialog_.data());
    platform::showSingle(slot, [this] { return new maintenance::FrmCompact(*this); });
    compactDialog_ = slot.data();
}

void FrmMain::showAboutBox()
{
    QPointer<maintenance::FrmAbout> slot = qobject_cast<maintenance::FrmAbout *>(aboutBox_.data());
    platform::showSingle(slot, [] { return new maintenance::FrmAbout; });
    aboutBox_ = slot.data();
}

void FrmMain::showTipOfTheDay()
{
    QPointer<maintenance::FrmTip> slot = qobject_cast<maintenance::FrmTip *>(tipWindow_.data());
    platform::showSingle(slot, [this] { return new maintenance::FrmTip(folder_); });
    tipWindow_ = slot.data();
}

// The report is made once; when it ends, the About box opens.
void FrmMain::showReport()
{
    auto *report = qobject_cast<maintenance::Report *>(report_.data());
    if (!report) {
        report = new maintenance::Report(folder_);
        connect(report, &maintenance::Report::terminated, this, &FrmMain::showAboutBox);
        report_ = report;
    }
    report->showReport();
}

void FrmMain::showHelp()
{
    platform::showHelp(this, platform::helpFile(folder_));
}

void FrmMain::raiseStartupWindows()
{
    for (QWidget *w : {aboutBox_.data(), tipWindow_.data()}) {
        if (w && w->isVisible()) {
            w->raise();
            w->activateWindow();
        }
    }
}
