// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/damagedcatalogue.h"

#include "catalogue/backup.h"
#include "platform/counted.h"
#include "widgets/windows.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace startup {

namespace {

struct GoodBackup {
    QString path;
    QString label; // "DATE TIME, N movies"
};

QList<GoodBackup> goodBackups(const QString &catalogueFile)
{
    QList<GoodBackup> good;
    for (const catalogue::BackupFile &file : catalogue::listBackups(catalogueFile)) {
        const catalogue::BackupContents contents = catalogue::inspectBackup(file.path);
        if (!contents.intact)
            continue;
        const QString when =
            QLocale().toString(file.taken.date(), QLocale::ShortFormat) + " " + file.taken.time().toString("HH:mm:ss");
        const QString movies = platform::counted(contents.movies, "movie", "movies");
        good.append({file.path, when + ", " + movies});
    }
    return good;
}

// A list of the good backups to pick from; empty when the user cancels.
QString chooseBackup(const QList<GoodBackup> &good)
{
    QStringList labels;
    for (const GoodBackup &b : good)
        labels << b.label;
    QInputDialog dialog;
    dialog.setObjectName("chooseBackup");
    dialog.setWindowTitle("Moviary");
    dialog.setLabelText("Backup to restore:");
    dialog.setComboBoxItems(labels);
    dialog.setComboBoxEditable(false);
    if (widgets::execOnTop(dialog) != QDialog::Accepted)
        return {};
    const qsizetype chosen = labels.indexOf(dialog.textValue());
    return chosen < 0 ? QString() : good.at(chosen).path;
}

} // namespace

Recovery offerBackupsOfDamagedCatalogue(const QString &catalogueFile, const QString &problem)
{
    const QList<GoodBackup> good = goodBackups(catalogueFile);
    if (good.isEmpty())
        return Recovery::NoBackups;
    QString problemText = problem;
    for (;;) {
        QMessageBox box(QMessageBox::Critical, "Moviary",
                        problemText + "\n\nGood backups of this catalogue exist. A restored backup takes its place, "
                                      "and the damaged file is kept beside it under a new name; Quit leaves "
                                      "the file as it is.");
        box.setObjectName("damagedCatalogue");
        QPushButton *newest = box.addButton(QString("Restore the newest good backup (%1)").arg(good.first().label),
                                            QMessageBox::AcceptRole);
        QPushButton *choose = box.addButton("Choose a backup...", QMessageBox::ActionRole);
        QPushButton *quit = box.addButton("Quit", QMessageBox::RejectRole);
        newest->setObjectName("cmdRestoreNewest");
        choose->setObjectName("cmdChooseBackup");
        quit->setObjectName("cmdQuit");
        box.setEscapeButton(quit);
        widgets::execOnTop(box);
        QString backup;
        if (box.clickedButton() == newest)
            backup = good.first().path;
        else if (box.clickedButton() == choose)
            backup = chooseBackup(good);
        else
            return Recovery::Quit;
        if (backup.isEmpty())
            continue;
        QString keptAs;
        const platform::Failure error = catalogue::recoverFromBackup(backup, catalogueFile, &keptAs);
        if (!error) {
            widgets::showMessage(nullptr, QMessageBox::Information, "Moviary",
                                 QString("The backup %1 was restored. The damaged catalogue is kept as %2.")
                                     .arg(QFileInfo(backup).fileName(), QFileInfo(keptAs).fileName()));
            return Recovery::Restored;
        }
        problemText = error.message;
    }
}

} // namespace startup
