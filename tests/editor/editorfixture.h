// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the editor suites share: a stand-in for the main window, a catalogue made per
// case, and the closing of whatever a case left open.

#include "catalogue/database.h"
#include "catalogue/recordcursor.h"
#include "editor/moviedialog.h"
#include "platform/appfolder.h"
#include "tests/common/fakehost.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "widgets/cataloguehost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

namespace editortest {

using namespace catalogue;

inline const QString AllMovies = testsupport::FakeHost::AllMovies;

// The stand-in main window, with what the editor suites ask of it besides.
class FakeHost : public testsupport::FakeHost {
public:
    using testsupport::FakeHost::FakeHost;
    // Editor dialogs still loaded: the main window keeps "Compact" off while there are any.
    static int loadedEditors()
    {
        int loaded = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<editor::MovieDialog *>(w))
                loaded += dialog->isLoaded();
        return loaded;
    }
    bool compactEnabled() const { return loadedEditors() == 0; }
    void show(const QString &query, int pos)
    {
        cursor.setRecordSource(query);
        cursor.refresh();
        cursor.setAbsolutePosition(pos);
    }
};

inline void click(QWidget *dialog, const char *button) { testsupport::control<QPushButton>(dialog, button)->click(); }

inline void exec(const QString &path, const char *sql)
{
    sqlite3 *raw = nullptr;
    sqlite3_open(path.toUtf8().constData(), &raw);
    ConnectionPtr db(raw);
    QCOMPARE(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK);
}

// Each case gets its own folder and host; whatever it left open is closed after it.
class EditorFixture {
protected:
    std::unique_ptr<testsupport::TestFolder> folder;
    std::unique_ptr<FakeHost> host;

    void makeHost(const std::vector<Movie> &movies)
    {
        folder->makeCatalogue(movies);
        host = std::make_unique<FakeHost>(folder->path());
    }
    static void setUpSuite()
    {
        testsupport::useTestSettings();
        moviaryInitResources();
    }
    void setUpCase() { folder = std::make_unique<testsupport::TestFolder>(); }
    void tearDownCase()
    {
        // A dialog left with typed entries asks before it closes.
        testsupport::ModalWatch discard([](QWidget *m) {
            if (auto *box = qobject_cast<QMessageBox *>(m); box && box->button(QMessageBox::Yes))
                box->button(QMessageBox::Yes)->click();
        });
        for (QWidget *w : QApplication::topLevelWidgets())
            w->close();
        testsupport::flushDeletes();
        host.reset();
    }
};

} // namespace editortest
