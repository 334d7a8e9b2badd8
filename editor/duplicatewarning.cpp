// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/duplicatewarning.h"

#include "catalogue/database.h"
#include "catalogue/duplicates.h"
#include "catalogue/recordcursor.h"
#include "platform/settings.h"

#include "widgets/windows.h"

#include <QMessageBox>

namespace editor {

namespace {

// A title of thousands of characters would push the buttons off the screen.
QString shortened(const QString &text)
{
    constexpr int Longest = 200;
    return text.size() <= Longest ? text : text.left(Longest) + QChar(0x2026);
}

} // namespace

bool confirmUnlessDuplicate(QWidget *dialog, catalogue::RecordCursor &cursor, const QString &catalogueFile,
                            const QString &title, const QString &year)
{
    if (!platform::warnAboutDuplicates())
        return true;
    // The edit dialog's own row is the movie itself, not a second copy of it; and an
    // edit that keeps the title and year asks nothing the add did not already ask.
    const bool editing = cursor.editMode() == catalogue::RecordCursor::EditMode::Edit;
    if (editing && cursor.hasCurrent()) {
        const catalogue::Movie was = cursor.currentMovie();
        if (catalogue::titleKey(was[catalogue::Field::Title]) == catalogue::titleKey(title) &&
            was[catalogue::Field::Year].trimmed() == year.trimmed())
            return true;
    }
    const sqlite3_int64 own = editing ? cursor.currentRowId() : 0;
    std::unique_ptr<catalogue::Database> opened;
    sqlite3 *db = cursor.database() ? cursor.database()->handle() : nullptr;
    if (!db) {
        // A catalogue that does not open refuses the save too, and that save names the cause.
        if (catalogue::Database::open(catalogueFile, opened))
            return true;
        db = opened->handle();
    }
    std::optional<catalogue::DuplicateMovie> found;
    const platform::Failure error = catalogue::findDuplicate(db, title, year, found, own);
    opened.reset();
    // A catalogue locked by another program refuses the save too, and that save says so.
    if (error && error.kind != platform::ErrorKind::Busy) {
        // The save itself may still work: say what was not checked, then go on.
        widgets::showMessage(dialog, QMessageBox::Warning, dialog->windowTitle(),
                             QString("The catalogue could not be searched for a movie with the same title, so this "
                                     "movie is saved without that check.\n\n%1")
                                 .arg(error.message));
        return true;
    }
    if (!found)
        return true;
    const QString movie = found->year.isEmpty()
                              ? shortened(found->title)
                              : QString("%1 (%2)").arg(shortened(found->title), shortened(found->year));
    return widgets::askYesNo(
        dialog, dialog->windowTitle(),
        QString("A movie with this title is already in the catalogue: %1. Save it anyway?").arg(movie),
        QMessageBox::No);
}

} // namespace editor
