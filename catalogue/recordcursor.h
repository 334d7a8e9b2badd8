// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/boundcontrol.h"
#include "catalogue/database.h"
#include "catalogue/listingcache.h"
#include "catalogue/movie.h"
#include "catalogue/query.h"
#include "catalogue/resultset.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

namespace catalogue {

// The actions a cursor announces, before it takes them, through validate().
enum class CursorAction {
    MoveFirst = 1,
    MovePrevious = 2,
    MoveNext = 3,
    MoveLast = 4,
    AddNew = 5,
    Update = 6,
    Delete = 7,
    Find = 8,
    Bookmark = 9,
    Close = 10
};

// A query over the Movies table with one current row, through which every window
// reads and writes the catalogue. Each cursor has its own connection to the file.
//
// Errors come back as return values; lastError() says what went wrong in words for
// the user. A write names its row by rowid and by the values this cursor read, so a
// row that changed or went away since is never overwritten: the write then fails
// with RowChanged.
class RecordCursor : public QObject {
    Q_OBJECT
public:
    static constexpr int RowChanged = 1000;

    explicit RecordCursor(QObject *parent = nullptr);
    ~RecordCursor() override;

    void setDatabaseName(const QString &path);
    QString databaseName() const { return databaseName_; }
    void setRecordSource(const QString &query) { recordSource_ = query; }
    QString recordSource() const { return recordSource_; }

    // Opens the file if needed and runs the query from the start; the first row becomes
    // current. False on failure, with the result then empty.
    //
    // The rows of the whole table stay with the connection while the file does not
    // change, so that a listing, a category or a search of an unchanged catalogue is
    // answered from memory; writes through the connection keep them in step.
    bool refresh();
    // While set, a read of the file looks at stop between rows and gives up, with the
    // code SQLITE_INTERRUPT, once it holds true: another thread may ask a long read to
    // end. stop must outlive the reads.
    void setStopFlag(const std::atomic<bool> *stop) { stop_ = stop; }
    bool isOpen() const { return link_ != nullptr; }
    // Uses the connection of other (opening it if needed), its kept rows included, so
    // that a write through either keeps both in step. False when it cannot be opened.
    bool shareConnectionOf(RecordCursor &other);
    // True when the rows of this cursor's connection are kept and the file has not
    // changed since they were read.
    bool rowsAreCurrent() const;
    // Closes the connection; the result stays readable until the next refresh.
    void closeDatabase();

    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Rows visited so far: the size of the result once the last row was visited.
    int recordCount() const { return visited_; }
    // 0-based place of the current row; -1 when there is none.
    int absolutePosition() const { return hasCurrent() ? pos_ : -1; }
    void setAbsolutePosition(int pos);

    const ResultSet &result() const { return result_; }
    bool hasCurrent() const { return !bof_ && !eof_ && pos_ >= 0 && pos_ < result_.size(); }
    Movie currentMovie() const;
    sqlite3_int64 currentRowId() const { return hasCurrent() ? result_.rowId(pos_) : 0; }

    enum class EditMode { None, Edit, AddNew };
    EditMode editMode() const { return editMode_; }
    void addNew();
    // Opens the current row for editing; false when there is none.
    bool edit();
    // Writes the values of the editable bound controls into the open row and saves it.
    bool updateRecord();
    void cancelUpdate();
    // Removes the current row from the table.
    bool deleteCurrent();

    // The cursor owns the binding; the control shows the field of the current row.
    void bind(Field f, std::unique_ptr<BoundControl> control);

    const platform::Failure &lastError() const { return error_; }
    Database *database() const { return link_ ? link_->db.get() : nullptr; }

signals:
    void validate(int action);
    // The result was replaced (refresh) or a row of it was removed.
    void resultChanged();
    // The current row changed; bound controls already show it.
    void currentChanged();
    // A row of the result was rewritten.
    void rowUpdated(int pos);

private:
    bool ensureOpen();
    bool fail(const platform::Failure &e);
    void moveTo(int pos);
    void showCurrent();
    void showValues(const Movie *m);
    Movie valuesFromControls(const Movie &base) const;
    bool writeRow(const QByteArray &sql, const Movie *newValues, const std::vector<int> &fields);
    bool readRows(const Query &query);
    void replaceResult(ResultSet rows);

    // One connection and the rows kept with it, shared by the cursors that share it.
    struct Link {
        std::unique_ptr<Database> db;
        ListingCache kept;
    };

    QString databaseName_;
    QString recordSource_;
    std::shared_ptr<Link> link_;
    const std::atomic<bool> *stop_ = nullptr;
    ResultSet result_;
    // What the list last heard about: a refresh that finds the same rows says nothing.
    quint64 announcedChanges_ = 0;
    // The state of the file before the last write, to know whether it was the only change.
    ListingCache::Stamp beforeWrite_;
    int pos_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    int visited_ = 0;
    EditMode editMode_ = EditMode::None;
    platform::Failure error_;
    std::vector<std::pair<Field, std::unique_ptr<BoundControl>>> bindings_;
};

} // namespace catalogue
