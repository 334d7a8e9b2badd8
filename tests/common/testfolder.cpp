// SPDX-License-Identifier: GPL-3.0-or-later
#include "testfolder.h"

#include "catalogue/database.h"
#include "catalogue/schema.h"
#include "files.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

namespace testsupport {

namespace {

void refuseOnlineServices(QSettings &s)
{
    for (const char *key : {"Lookup/Wikidata Address", "Lookup/Wikipedia Address", "Lookup/TMDb Address"})
        s.setValue(key, RefusingAddress);
    s.sync();
}

} // namespace

void useTestSettings()
{
    // Each test process keeps its settings in a folder of its own, so that suites
    // running side by side never see each other's option.
    QStandardPaths::setTestModeEnabled(true);
    static QTemporaryDir where(QDir::tempPath() + "/moviary-settings-XXXXXX");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, where.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, where.path());
    static const bool refusing = [] {
        clearTestSettings();
        return true;
    }();
    Q_UNUSED(refusing);
}

void clearTestSettings()
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "moviary", "moviary");
    s.clear();
    refuseOnlineServices(s);
}

TestFolder::TestFolder()
{
    if (!dir_.isValid())
        qFatal("cannot make a temporary folder");
}

QString TestFolder::catalogue() const { return dir_.filePath("DVDs.mdb"); }

void TestFolder::makeCatalogue(const std::vector<catalogue::Movie> &movies) const
{
    if (const platform::Failure error = catalogue::createCatalogue(catalogue(), movies, true))
        qFatal("%s", qPrintable(error.message));
}

void TestFolder::makeDamagedCatalogue() const
{
    std::vector<catalogue::Movie> movies;
    for (int i = 0; i < 400; ++i)
        movies.push_back(movie(QString("Movie %1 ").arg(i) + QString(200, QChar('x'))));
    makeCatalogue(movies);
    // Page 1 holds the schema and page 2 the root of Movies; page 3 is the first of its rows.
    damagePage(catalogue(), 3);
}

void TestFolder::makeSampleCatalogue() const
{
    if (const platform::Failure error = catalogue::createCatalogue(catalogue(), catalogue::Contents::Sample, true))
        qFatal("%s", qPrintable(error.message));
}

std::vector<catalogue::Movie> TestFolder::moviesInFile() const
{
    std::vector<catalogue::Movie> out;
    sqlite3 *raw = nullptr;
    sqlite3_open_v2(catalogue().toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    catalogue::ConnectionPtr db(raw);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(raw,
                       "SELECT Title, Description, Category, Actors, Review, Rating, Year, Time "
                       "FROM Movies ORDER BY rowid",
                       -1, &st, nullptr);
    catalogue::StatementPtr guard(st);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
        catalogue::Movie m;
        for (int i = 0; i < catalogue::FieldCount; ++i) {
            m.isNull[i] = sqlite3_column_type(st, i) == SQLITE_NULL;
            m.values[i] = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                            sqlite3_column_bytes(st, i));
        }
        out.push_back(m);
    }
    return out;
}

catalogue::Movie movie(const QString &title, const QString &category, const QString &year)
{
    return catalogue::makeMovie(title, "About " + title, category, "Cast of " + title, "Review of " + title, "PG", year,
                                "90");
}

} // namespace testsupport
