// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;
#include <vector>

namespace catalogue {
class RecordCursor;
}

namespace widgets {

// What the dialogs that change or replace the catalogue need of the main window.
class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;
    // The catalogue file in use, the work file its compaction writes, and the help file.
    virtual QString catalogueFile() const = 0;
    virtual QString compactionWorkFile() const = 0;
    virtual QString helpFile() const = 0;
    // The main window's cursor: its query, its current place, its connection.
    virtual catalogue::RecordCursor &mainCursor() = 0;
    // Reopens the catalogue and lists all movies, the first one current.
    virtual void listAllRecords() = 0;
    // Places in mainCursor().result() of the movies the list shows, in the list's order.
    virtual std::vector<int> listedPositions();
    // Whether an add or edit window holds a movie being added or edited.
    virtual bool editing() const { return false; }
};

// Says, over window, that the catalogue cannot be changed as a whole while a movie is
// being added or edited, and returns true, when that is so; else returns false.
bool refusedWhileEditing(QWidget *window, const CatalogueHost &host);

} // namespace widgets
