// The list, the detail pane and moving through the current result.
#include "frmmain.h"
#include "platform/windows.h"

#include <QTableView>

void FrmMain::fpList1_Click(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    Data1->setAbsolutePosition(listModel_->positionOfRow(index.row()));
    setRecordCounter(index.row() + 1);
}

void FrmMain::fpList1_DblClick(const QModelIndex &index)
{
    if (index.isValid())
        Data1->setAbsolutePosition(listModel_->positionOfRow(index.row()));
    EditCurrentMovie();
}

bool FrmMain::canStep() const
{
    return !Data1->recordSource().isEmpty() && !Data1->bof() && !Data1->eof() && TotalRecords != 0;
}

void FrmMain::cmdNext_Click()
{
    if (!canStep() || Data1->absolutePosition() + 1 == TotalRecords)
        return;
    Data1->moveNext();
    setRecordCounter(Data1->absolutePosition() + 1);
    selectCurrentRow();
}

void FrmMain::cmdPrev_Click()
{
    if (!canStep() || Data1->absolutePosition() == 0)
        return;
    Data1->movePrevious();
    setRecordCounter(Data1->absolutePosition() + 1);
    selectCurrentRow();
}

void FrmMain::Data1_Validate(int action)
{
    if (action == int(catalogue::CursorAction::Close))
        platform::restoreArrowCursor();
}
