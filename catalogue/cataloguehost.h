#pragma once

#include <QString>

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
};

} // namespace catalogue
