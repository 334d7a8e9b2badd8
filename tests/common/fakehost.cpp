// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakehost.h"

#include "platform/appfolder.h"

namespace testsupport {

FakeHost::FakeHost(const QString &folder) : folder_(folder) { list(AllMovies); }

QString FakeHost::catalogueFile() const { return platform::catalogueFile(folder_); }
QString FakeHost::compactionWorkFile() const { return platform::compactionWorkFile(folder_); }
QString FakeHost::helpFile() const { return platform::helpFile(folder_); }

void FakeHost::listAllRecords()
{
    ++listings;
    list(AllMovies);
}

void FakeHost::list(const QString &query)
{
    cursor.setDatabaseName(catalogueFile());
    cursor.setRecordSource(query);
    cursor.refresh();
}

QStringList FakeHost::listedTitles() const
{
    QStringList titles;
    for (int i = 0; i < cursor.result().size(); ++i)
        titles << cursor.result().text(i, catalogue::Field::Title);
    return titles;
}

} // namespace testsupport
