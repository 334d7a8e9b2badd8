// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a movie in the list, and moving through the current result with Previous and Next.
#include "mainwindow/frmmain.h"
#include "widgets/windows.h"

void FrmMain::onRowChosen(int row)
{
    cursor_->setAbsolutePosition(listModel_->positionOfRow(row));
    setRecordCounter(row + 1);
}

void FrmMain::onRowDoubleClicked(int row)
{
    if (row >= 0)
        cursor_->setAbsolutePosition(listModel_->positionOfRow(row));
    editCurrentMovie();
}

bool FrmMain::canStep() const
{
    return !cursor_->recordSource().isEmpty() && !cursor_->bof() && !cursor_->eof() && totalRecords_ != 0;
}

void FrmMain::onNextClicked()
{
    if (!canStep() || cursor_->absolutePosition() + 1 == totalRecords_)
        return;
    cursor_->moveNext();
    setRecordCounter(cursor_->absolutePosition() + 1);
    selectCurrentRow();
}

void FrmMain::onPreviousClicked()
{
    if (!canStep() || cursor_->absolutePosition() == 0)
        return;
    cursor_->movePrevious();
    setRecordCounter(cursor_->absolutePosition() + 1);
    selectCurrentRow();
}

void FrmMain::onCursorValidate(int action)
{
    if (action == int(catalogue::CursorAction::Close))
        widgets::restoreArrowCursor();
}
