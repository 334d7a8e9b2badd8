// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/duplicates.h"
#include "catalogue/movie.h"
#include "exchange/sourcetable.h"
#include "platform/failure.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace exchange {

constexpr qint64 MaxImportFileSize = qint64(1) << 30;
constexpr qint64 MaxInflatedSize = qint64(512) << 20;
constexpr qsizetype MaxTitleBytes = 1 << 20;

enum class SourceFormat { DelimitedText, Tellico, Gcstar, Collectorz, DataCrow, Griffith };

using Mapping = std::vector<std::optional<catalogue::Field>>;

// A file read and recognised, before anything is stored.
struct ImportSource {
    QString path;
    SourceFormat format = SourceFormat::DelimitedText;
    // What the dialog shows: "Delimited text (semicolon-separated, Windows-1252)".
    QString description;
    SourceTable table;
    // One field (or none) per column of the table.
    Mapping mapping;
    // Only the columns of delimited text may be mapped by hand.
    bool mappingChangeable = false;
    // This program's own export: every value is stored exactly as it stands.
    bool exact = false;
    // Why the text was read as Windows-1252, when it was.
    QString encodingNote;
    // The column that says what kind of title a row is ("Movie", "TV Series"), or -1.
    int titleTypeColumn = -1;
};

// Whether the first row of delimited text names the columns (true) or is a movie;
// the mapping follows: fields recognised from the names, or for a list without
// names, one column of titles and several columns left for the user to map.
void setFirstRowIsHeader(ImportSource &source, bool header);

// Whether a title type ("Movie", "TV Episode", "Video Game") is a movie: a movie,
// a TV movie or special, a video or a short; an empty type is taken as one too.
bool isMovieType(QByteArrayView type);

// Whether a column of the mapping goes to Title.
bool mapsTitle(const Mapping &mapping);

// Reads a file and recognises its format from the content: a Tellico collection (zip
// or XML), a GCstar movie collection, or delimited text. When the file cannot be read
// as a whole, answers a failure whose message names the file and the problem.
platform::Failure readImportFile(const QString &path, ImportSource &source);
// The same for bytes already read; path only names them.
platform::Failure readImportBytes(QByteArray bytes, const QString &path, ImportSource &source);

// Movies told apart as the add and edit dialogs tell them apart.
using DuplicateIndex = catalogue::DuplicateIndex;

// The titles and years of the movies of a catalogue file.
platform::Failure readCatalogueKeys(const QString &catalogueFile, DuplicateIndex &index);

struct PlannedMovie {
    std::array<QByteArrayView, catalogue::FieldCount> values;
    bool duplicate = false;
};

// The movies a source gives under a mapping, as they will be stored. Values point into
// the source's text, or into the plan's own store where they were converted: the plan
// lives no longer than its source, and is moved, never copied.
struct ImportPlan {
    ImportPlan() = default;
    ImportPlan(ImportPlan &&) = default;
    ImportPlan &operator=(ImportPlan &&) = default;
    ImportPlan(const ImportPlan &) = delete;
    ImportPlan &operator=(const ImportPlan &) = delete;

    std::vector<PlannedMovie> movies;  // every row with a title, in file order
    std::vector<QByteArray> converted; // converted values, which movies point into
    int duplicates = 0;                // of the catalogue or of an earlier row
    int skippedRows = 0;
    QStringList skipReasons;     // the first few
    int rowsWithExtraFields = 0; // more fields than the header: the extra ones are left out
    int notMovies = 0;           // rows of TV series, episodes, games... left out
    QStringList duplicateNames;  // "Title (Year)" of the first few duplicates
    QString encodingNote;        // the source's, for the summary

    // Places in movies of the ones to store.
    std::vector<qsizetype> toStore(bool skipDuplicates) const;
};

// With onlyMovies, rows whose title type is not a movie's are left out.
ImportPlan planImport(const ImportSource &source, const Mapping &mapping, const DuplicateIndex &catalogue,
                      bool onlyMovies = true);

// Adds the chosen movies of the plan to the catalogue in one transaction: all or none.
// On failure (or when progress answers false: Cancelled) the catalogue is as before and
// the failure names the imported file and the problem.
platform::Failure storeMovies(const QString &catalogueFile, const ImportSource &source, const ImportPlan &plan,
                              const std::vector<qsizetype> &chosen,
                              const std::function<bool(qsizetype)> &progress = {});

// "N movies imported, M duplicates skipped, K rows skipped", the first reasons and
// the first duplicates by name.
QString importSummary(qsizetype imported, int duplicatesSkipped, const ImportPlan &plan);

} // namespace exchange
