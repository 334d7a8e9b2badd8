// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings.h"

#include <QSettings>
#include <memory>

namespace platform {

namespace {
const char *const Key = "Options/Show Tips at Startup";
const char *const CatalogueKey = "Files/Catalogue";
const char *const DuplicatesKey = "Options/Warn About Duplicates";

std::unique_ptr<QSettings> store()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("moviary"),
                                       QStringLiteral("moviary"));
}
} // namespace

int showTipsAtStartup()
{
    bool ok = false;
    const int value = store()->value(Key, QStringLiteral("1")).toString().trimmed().toInt(&ok);
    return ok ? value : 1;
}

void saveShowTipsAtStartup(bool show)
{
    auto s = store();
    s->setValue(Key, show ? QStringLiteral("1") : QStringLiteral("0"));
    s->sync();
}

QString rememberedCatalogue() { return store()->value(CatalogueKey).toString(); }

void rememberCatalogue(const QString &path)
{
    auto s = store();
    if (path.isEmpty())
        s->remove(CatalogueKey);
    else
        s->setValue(CatalogueKey, path);
    s->sync();
}

bool warnAboutDuplicates()
{
    return store()->value(DuplicatesKey, QStringLiteral("1")).toString().trimmed() != QStringLiteral("0");
}

void saveWarnAboutDuplicates(bool warn)
{
    auto s = store();
    s->setValue(DuplicatesKey, warn ? QStringLiteral("1") : QStringLiteral("0"));
    s->sync();
}

} // namespace platform
