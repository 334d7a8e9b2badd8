// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the compaction suites share: a stand-in for the main window, a large catalogue
// to shrink, and the checks of how the dialog ends.

#include "catalogue/database.h"
#include "catalogue/recordcursor.h"
#include "maintenance/frmcompact.h"
#include "platform/appfolder.h"
#include "tests/common/fakehost.h"
#include "tests/common/testfolder.h"
#include "widgets/cataloguehost.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <vector>

namespace compactiontest {

using catalogue::Movie;
using catalogue::RecordCursor;
using maintenance::FrmCompact;

using testsupport::FakeHost;

inline std::vector<Movie> manyMovies(int count)
{
    std::vector<Movie> movies;
    for (int i = 0; i < count; ++i)
        movies.push_back(testsupport::movie(QString("Movie %1").arg((i * 7919) % count, 5, 10, QChar('0'))));
    return movies;
}

inline QString sqlAnswer(const QString &file, const char *sql)
{
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    catalogue::ConnectionPtr db(raw);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw, sql, -1, &st, nullptr);
    catalogue::StatementPtr guard(st);
    const int rc = st ? sqlite3_step(st) : SQLITE_ERROR;
    return rc == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)))
                            : QString::number(rc);
}

inline QLabel *label(QWidget &dialog, const char *name) { return dialog.findChild<QLabel *>(name); }
inline QPushButton *button(QWidget &dialog, const char *name) { return dialog.findChild<QPushButton *>(name); }
inline QWidget *bar(QWidget &dialog) { return dialog.findChild<QWidget *>("shpStat"); }

inline void runCompaction(FrmCompact &dialog)
{
    dialog.show();
    QTest::mouseClick(button(dialog, "cmdCompact"), Qt::LeftButton);
}

inline void expectFinished(FrmCompact &dialog, const QString &status)
{
    QCOMPARE(label(dialog, "lblStatus")->text(), status);
    QCOMPARE(button(dialog, "cmdCompact")->text(), QString("Finish"));
    QVERIFY(button(dialog, "cmdCompact")->font().bold());
    QVERIFY(!button(dialog, "cmdCancel")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

inline void expectFailureShown(FrmCompact &dialog, const QString &reasonPart)
{
    expectFinished(dialog, "Compaction failed");
    QLabel *reason = label(dialog, "lblReason");
    QVERIFY(reason->isVisible());
    QVERIFY2(reason->text().contains(reasonPart, Qt::CaseInsensitive), qPrintable(reason->text()));
}

} // namespace compactiontest
