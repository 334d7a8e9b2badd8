#include "filechooser.h"

#include <QFileDialog>
#include <optional>

namespace maintenance {

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

} // namespace

QString chooseFileToOpen(QWidget *parent, const QString &caption, const QString &filter)
{
    if (auto chosen = takeNextChosen())
        return *chosen;
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString chooseFileToSave(QWidget *parent, const QString &caption, const QString &suggestion, const QString &filter)
{
    if (auto chosen = takeNextChosen())
        return *chosen;
    return QFileDialog::getSaveFileName(parent, caption, suggestion, filter);
}

void setNextChosenFile(const QString &path) { nextChosen() = path; }

} // namespace maintenance
