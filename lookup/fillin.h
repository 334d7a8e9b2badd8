// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/database.h"
#include "catalogue/guardedwrite.h"
#include "lookup/source.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTextStream;

namespace lookup {

// A movie is missing a field when one of those a look-up fills in is empty.
bool isMissingAField(const catalogue::Movie &movie);

// One field the look-up would change: checked at first when the field was empty.
struct FieldChange {
    catalogue::Field field = catalogue::Field::Title;
    QString oldValue;
    QString newValue;
    bool proposed = false;
};

// The changes found for one movie, with the row as read, by which the write names it.
struct MovieChanges {
    catalogue::StoredRow row;
    QString title;
    QString matchedTitle;
    int matchedYear = 0;
    std::vector<FieldChange> changes;
};

// A movie the look-up could not settle.
struct SetAside {
    enum class Reason { NotFound, MoreThanOne, Failed };
    sqlite3_int64 rowId = 0;
    QString title;
    QString year;
    Reason reason = Reason::NotFound;
    QString detail; // the matches found, or why the source gave no answer
};

// Looks movies up one at a time, asynchronously, and collects what each confident match
// would change. Nothing is written: applyChanges() does that once the user confirmed.
class FillIn : public QObject {
    Q_OBJECT
public:
    explicit FillIn(Source &source, QObject *parent = nullptr);
    ~FillIn() override;

    // Reads the movies of the rows given (every movie when none), in that order; with
    // onlyMissing only those missing a field, and then only empty fields are proposed.
    platform::Failure load(const QString &catalogueFile, const std::vector<sqlite3_int64> &rowIds, bool onlyMissing);
    void start();
    // Stops at once: the request in flight is dropped and finished() follows.
    void cancel();

    bool isRunning() const { return running_; }
    bool wasCancelled() const { return cancelled_; }
    int total() const { return int(movies_.size()); }
    int done() const { return next_; }
    // Movies the source gave an answer for, match or not.
    int answered() const { return answered_; }
    // The title of the movie at that place in the run, as read.
    QString titleAt(int index) const;
    // Why the run stopped before the end on its own (the source cannot be reached, the key
    // was refused, several failures in a row); empty otherwise.
    QString stopReason() const { return stopReason_; }
    QString sourceName() const { return source_.name(); }

    const std::vector<MovieChanges> &proposals() const { return proposals_; }
    const std::vector<SetAside> &setAside() const { return setAside_; }
    // Confident matches that would change nothing.
    int unchanged() const { return unchanged_; }

signals:
    void progressed(int done, int total);
    void finished();

private:
    void lookUpNext();
    void onSearched();
    void onDetails();
    void failed(const Request &request);
    void finish();
    Request *takeRequest();

    Source &source_;
    bool onlyMissing_ = false;
    std::vector<catalogue::StoredRow> movies_;
    std::unique_ptr<Request> request_;
    Candidate match_;
    int next_ = 0;
    int answered_ = 0;
    int failuresInARow_ = 0;
    bool running_ = false;
    bool cancelled_ = false;
    QString stopReason_;
    std::vector<MovieChanges> proposals_;
    std::vector<SetAside> setAside_;
    int unchanged_ = 0;
};

// What applyChanges() did.
struct ApplyResult {
    platform::Failure error; // set when nothing was written
    QString backupFile;
    int moviesChanged = 0;
    int fieldsChanged = 0;
    // Movies changed or deleted elsewhere since they were read: left as they are.
    QStringList changedMeanwhile;
    std::vector<sqlite3_int64> changedMeanwhileRows;
};

// Takes a backup, then writes every change given in one transaction, each movie named by
// the row as read so that one changed meanwhile is not overwritten. All or nothing: on
// a failure the catalogue is as it was. Nothing to write takes no backup.
ApplyResult applyChanges(const QString &catalogueFile, const std::vector<MovieChanges> &confirmed,
                         const QDateTime &now = QDateTime::currentDateTime());

// The catalogue maker's fill-in: looks the movies up, writes the proposed changes of the
// confident matches after a backup, prints what it changed and each movie it could not
// settle to out, failures to err. Answers the exit code: 0 when it ran.
int fillInCatalogue(const QString &catalogueFile, bool onlyMissing, Source *source, QTextStream &out, QTextStream &err);

} // namespace lookup
