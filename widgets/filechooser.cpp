// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/filechooser.h"

#include "widgets/windows.h"

#include <QFileDialog>
#include <optional>

namespace widgets {

namespace {

std::optional<QString> &nextChosen()
{
    static std::optional<QString> path;
    return path;
}

std::optional<QString> takeNextChosen()
{
    std::optional<QString> path;
    path.swap(nextChosen());
    return path;
}

// A file dialog above every window of the program, as its questions are.
QString runFileDialog(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter,
                      QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, caption, suggestion, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (widgets::execOnTop(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString chooseFileToOpen(QWidget *parent, const QString &caption, const QString &filter)
{
    if (auto chosen = takeNextChosen())
        return *chosen;
    return runFileDialog(parent, caption, QString(), filter, QFileDialog::AcceptOpen);
}

QString chooseFileToSave(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter)
{
    if (auto chosen = takeNextChosen())
        return *chosen;
    return runFileDialog(parent, caption, suggestion, filter, QFileDialog::AcceptSave);
}

void setNextChosenFile(const QString &path) { nextChosen() = path; }

} // namespace widgets
