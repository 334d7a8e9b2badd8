// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/recordcursor.h"
#include "widgets/cataloguehost.h"

#include <QString>
#include <QStringList>

namespace testsupport {

// Stands in for the main window of the dialogs under test: it owns the main cursor on the
// catalogue of a test folder, lists all movies once on construction, and counts the
// listings the dialogs ask of it afterwards.
class FakeHost : public widgets::CatalogueHost {
public:
    static inline const QString AllMovies = "select * from Movies order by Title";

    explicit FakeHost(const QString &folder);

    QString catalogueFile() const override;
    QString compactionWorkFile() const override;
    QString helpFile() const override;
    catalogue::RecordCursor &mainCursor() override { return cursor; }
    void listAllRecords() override;

    // Runs the query on the main cursor without counting it as a listing.
    void list(const QString &query);
    QStringList listedTitles() const;

    catalogue::RecordCursor cursor;
    int listings = 0;

private:
    QString folder_;
};

} // namespace testsupport
