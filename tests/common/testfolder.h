// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QString>
#include <QTemporaryDir>
#include <vector>

namespace testsupport {

// Redirects the settings store into a throw-away place, never the user's own, where
// every online service's address is one that refuses at once: a test that forgets to
// point a look-up at its own server fails instead of asking the real service.
void useTestSettings();
// Removes any saved option, as on a first run (the refusing addresses stay).
void clearTestSettings();
// The address the test settings give every online service.
inline constexpr char RefusingAddress[] = "http://127.0.0.1:9";

// A fresh application folder for one test case, removed afterwards.
class TestFolder {
public:
    TestFolder();
    QString path() const { return dir_.path(); }
    QString catalogue() const;
    // Makes DVDs.mdb with the catalogue maker, holding exactly these movies.
    void makeCatalogue(const std::vector<catalogue::Movie> &movies) const;
    void makeSampleCatalogue() const;
    // Makes DVDs.mdb with hundreds of movies and damages the first page of their rows:
    // the file opens as a catalogue and takes new movies, but a read of every row fails.
    void makeDamagedCatalogue() const;
    // Reads every row of DVDs.mdb straight from the file, in table order.
    std::vector<catalogue::Movie> moviesInFile() const;

private:
    QTemporaryDir dir_;
};

// A movie with a title and, optionally, a category; other fields derived from the title.
catalogue::Movie movie(const QString &title, const QString &category = "Drama", const QString &year = "2000");

} // namespace testsupport
