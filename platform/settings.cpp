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

Failure written(QSettings &s)
{
    s.sync();
    if (s.status() == QSettings::NoError)
        return {};
    return {ErrorKind::Io, QString("Your settings could not be saved in %1: it cannot be written. The change holds "
                                   "until Moviary ends.")
                               .arg(s.fileName())};
}
} // namespace

int showTipsAtStartup()
{
    bool ok = false;
    const int value = store()->value(Key, QStringLiteral("1")).toString().trimmed().toInt(&ok);
    return ok ? value : 1;
}

Failure saveShowTipsAtStartup(bool show)
{
    auto s = store();
    s->setValue(Key, show ? QStringLiteral("1") : QStringLiteral("0"));
    return written(*s);
}

QString rememberedCatalogue() { return store()->value(CatalogueKey).toString(); }

Failure rememberCatalogue(const QString &path)
{
    auto s = store();
    if (path.isEmpty())
        s->remove(CatalogueKey);
    else
        s->setValue(CatalogueKey, path);
    return written(*s);
}

bool warnAboutDuplicates()
{
    return store()->value(DuplicatesKey, QStringLiteral("1")).toString().trimmed() != QStringLiteral("0");
}

Failure saveWarnAboutDuplicates(bool warn)
{
    auto s = store();
    s->setValue(DuplicatesKey, warn ? QStringLiteral("1") : QStringLiteral("0"));
    return written(*s);
}

LookupSettings lookupSettings()
{
    auto s = store();
    LookupSettings settings;
    const QString source = s->value(QStringLiteral("Lookup/Source")).toString().trimmed().toLower();
    settings.source =
        source == QStringLiteral("tmdb") ? LookupSettings::Source::Tmdb : LookupSettings::Source::Wikidata;
    settings.tmdbKey = s->value(QStringLiteral("Lookup/TMDb Key")).toString().trimmed();
    const auto address = [&](const char *key, const char *fallback) {
        const QUrl url(s->value(QLatin1String(key)).toString().trimmed());
        return url.isValid() && !url.isRelative() ? url : QUrl(QLatin1String(fallback));
    };
    settings.wikidataAddress = address("Lookup/Wikidata Address", "https://www.wikidata.org/w/api.php");
    settings.wikipediaAddress = address("Lookup/Wikipedia Address", "https://en.wikipedia.org/api/rest_v1");
    settings.tmdbAddress = address("Lookup/TMDb Address", "https://api.themoviedb.org");
    return settings;
}

Failure saveLookupSettings(const LookupSettings &settings)
{
    auto s = store();
    s->setValue(QStringLiteral("Lookup/Source"),
                settings.source == LookupSettings::Source::Tmdb ? QStringLiteral("tmdb") : QStringLiteral("wikidata"));
    s->setValue(QStringLiteral("Lookup/TMDb Key"), settings.tmdbKey);
    s->setValue(QStringLiteral("Lookup/Wikidata Address"), settings.wikidataAddress.toString());
    s->setValue(QStringLiteral("Lookup/Wikipedia Address"), settings.wikipediaAddress.toString());
    s->setValue(QStringLiteral("Lookup/TMDb Address"), settings.tmdbAddress.toString());
    return written(*s);
}

} // namespace platform
