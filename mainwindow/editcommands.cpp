// Deleting and editing the current movie.
#include "frmmain.h"

#include <QMessageBox>

void FrmMain::DeleteCurrentMovie()
{
    if (Data1->bof() || Data1->eof())
        return;
    QMessageBox box(QMessageBox::Question, "Please Confirm !", "Are you sure you want to delete this movie ?",
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes)
        return;
    if (!Data1->deleteCurrent()) {
        // Nothing was removed: say why and leave the listing as it is.
        QMessageBox::warning(this, "Moviary", "The movie could not be deleted.\n\n" + Data1->lastError().message);
        return;
    }
    Data1->refresh();
    ListAllRecords();
}
