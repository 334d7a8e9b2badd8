#pragma once

#include <QString>
#include <vector>

namespace catalogue {

class RecordCursor;

// What the dialogs that change or replace the catalogue need of the main window.
class CatalogueHost {
public:
    virtual ~CatalogueHost() = default;
    // The folder of the program, without a trailing separator.
    virtual QString applicationFolder() const = 0;
    // The main window's cursor: its query, its current place, its connection.
    virtual RecordCursor &mainCursor() = 0;
    // Reopens the catalogue and lists all movies, the first one current.
    virtual void listAllRecords() = 0;
    // Places in mainCursor().result() of the movies the list shows, in the list's order.
    virtual std::vector<int> listedPositions();
};

} // namespace catalogue
