#include "startup.h"

#include "frmmain.h"

#include <QApplication>
#include <QMessageBox>

int runMoviary(const QString &applicationFolder)
{
    auto window = std::make_unique<FrmMain>(applicationFolder);
    if (!window->Form_Load()) {
        QMessageBox::critical(nullptr, "Moviary", window->loadError());
        return 1;
    }
    window->show();
    return QApplication::exec();
}
