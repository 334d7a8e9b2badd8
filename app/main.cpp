#include "mainwindow/startup.h"

#include <QApplication>

void moviaryInitResources();

int main(int argc, char **argv)
{
    keepFreedMemoryForReuse();
    QApplication app(argc, argv);
    QApplication::setApplicationName("moviary");
    QApplication::setOrganizationName("moviary");
    moviaryInitResources();
    return runMoviary(QApplication::applicationDirPath());
}
