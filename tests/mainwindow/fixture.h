// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/frmmain.h"
#include "tests/common/testfolder.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <memory>

// A main window started on its own application folder and catalogue.
struct MainWindowFixture {
    testsupport::TestFolder folder;
    std::unique_ptr<FrmMain> window;

    // Makes the catalogue, starts the window (no tip window unless asked) and shows it.
    explicit MainWindowFixture(const std::vector<catalogue::Movie> &movies, bool tipsAtStart = false);

    template <class T = QWidget>
    T *find(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no control named %s", qPrintable(name));
        return w;
    }
    QString text(const QString &label) const { return find<QLabel>(label)->text(); }
    QAction *tool(const QString &name) const { return find<QAction>(name); }
    void click(const QString &button) const;
    void trigger(const QString &toolName) const { tool(toolName)->trigger(); }
    QTableView *list() const { return find<QTableView>("fpList1"); }
    // The titles the list shows, top to bottom.
    QStringList listedTitles() const;
    void clickRow(int row) const;
    // Closes every window the start-up opened beside the main window.
    void closeOtherWindows() const;
};

// Three action movies, one biography, one with the category typed in lower case.
std::vector<catalogue::Movie> smallCollection();
