// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Steps the hostile-environment suites share: driving the main window and its dialogs
// to a change that must be refused, and reading back what the user was told.

#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "tests/mainwindow/fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <vector>

namespace reliability {

inline void click(QWidget *window, const char *button)
{
    QTest::mouseClick(testsupport::control<QPushButton>(window, button), Qt::LeftButton);
}

// Clicks Finish on a dialog that must refuse to save: the message is answered, and
// the dialog stays open with what was typed.
inline QString finishRefused(QWidget *dialog, const QString &typedTitle)
{
    testsupport::MessageBoxAnswerer ok(QMessageBox::Ok);
    click(dialog, "cmdFinish");
    testsupport::flushDeletes();
    if (!ok.seen().shown)
        return "no message";
    if (!dialog->isVisible() || testsupport::control<QLineEdit>(dialog, "Text1")->text() != typedTitle)
        return "the dialog lost the entries";
    return ok.seen().text;
}

// Deletes the main window's current movie, confirming it; answers the message that
// follows when the delete is refused.
inline QString deleteRefused(MainWindowFixture &f)
{
    testsupport::MessageBoxAnswerer yes(QMessageBox::Yes);
    testsupport::MessageBoxAnswerer ok(QMessageBox::Ok);
    f.trigger("Delete");
    return ok.seen().shown ? ok.seen().text : QString("no message");
}

// Runs the compaction dialog and closes it; answers the reason it showed for a failure,
// or "compacted".
inline QString compactionRefusal(MainWindowFixture &f)
{
    f.trigger("Compact");
    QWidget *dialog = testsupport::topLevel("frmCompact");
    if (!dialog)
        return "no compaction dialog";
    // Where the backup taken first cannot be made, the user goes on without one. The
    // watch ends with the click, so that it never answers a later box.
    QTimer goOn;
    goOn.setInterval(0);
    QObject::connect(&goOn, &QTimer::timeout, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->isVisible() && box->text().endsWith("Go on without a backup?"))
            box->button(QMessageBox::Yes)->click();
    });
    goOn.start();
    click(dialog, "cmdCompact");
    goOn.stop();
    const QString reason = testsupport::control<QLabel>(dialog, "lblReason")->isVisibleTo(dialog)
                               ? testsupport::control<QLabel>(dialog, "lblReason")->text()
                               : QString("compacted");
    click(dialog, "cmdCompact");
    testsupport::flushDeletes();
    return reason;
}

inline QStringList sortedTitles(std::vector<catalogue::Movie> movies)
{
    QStringList titles;
    for (const catalogue::Movie &m : movies)
        titles << m[catalogue::Field::Title];
    titles.sort(Qt::CaseInsensitive);
    return titles;
}

} // namespace reliability
