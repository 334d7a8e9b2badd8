// SPDX-License-Identifier: GPL-3.0-or-later
#include "fixture.h"

#include "platform/settings.h"
#include "tests/common/widgets.h"

#include <QApplication>
#include <QTest>

using testsupport::movie;

MainWindowFixture::MainWindowFixture(const std::vector<catalogue::Movie> &movies, bool tipsAtStart)
{
    static bool once = [] {
        moviaryInitResources();
        testsupport::useTestSettings();
        return true;
    }();
    Q_UNUSED(once);
    (void)platform::saveShowTipsAtStartup(tipsAtStart);
    folder.makeCatalogue(movies);
    window = std::make_unique<FrmMain>(folder.path());
    if (!window->load())
        qFatal("start-up failed: %s", qPrintable(window->loadError()));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("main window not shown");
}

void MainWindowFixture::click(const QString &button) const
{
    QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
}

QStringList MainWindowFixture::listedTitles() const
{
    QStringList out;
    auto *model = list()->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << model->index(r, 0).data().toString();
    return out;
}

void MainWindowFixture::clickRow(int row) const
{
    QTableView *view = list();
    view->scrollTo(view->model()->index(row, 0));
    const QRect cell = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

void MainWindowFixture::closeOtherWindows() const { testsupport::closeWindowsBut(window->objectName()); }

std::vector<catalogue::Movie> smallCollection()
{
    return {movie("Speed", "Action", "1994"),     movie("Die Hard", "Action", "1988"),
            movie("Heat", "action", "1995"),      movie("Ray", "Biography", "2004"),
            movie("Amélie", "Comedy", "2001"),    movie("Star Wars", "Sci-Fi", "1977"),
            movie("Lone Star", "Western", "1996")};
}
