// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QString>
#include <QUrl>

namespace platform {

// The one saved per-user option: whether the tip window opens at start-up. Stored as
// the text "1" or "0" under "Options" / "Show Tips at Startup" in the platform's
// settings store, for the program's executable name.
//
// Reading answers the stored whole number, 1 when nothing is stored, and also 1 when
// the stored text is not a whole number (so the tips come back and the user can
// switch them off again, which stores a valid value).
int showTipsAtStartup();
Failure saveShowTipsAtStartup(bool show);

// The catalogue an installed program opens when the user chose to keep it outside the
// data folder; empty when the catalogue is the one in the data folder.
QString rememberedCatalogue();
Failure rememberCatalogue(const QString &path);

// Whether the add and edit dialogs warn before saving a movie that is already in the
// catalogue: "Options" / "Warn About Duplicates", "1" or "0", on unless "0" is stored.
bool warnAboutDuplicates();
Failure saveWarnAboutDuplicates(bool warn);

// Where and how movies are looked up online: "Lookup" / "Source" ("wikidata" or "tmdb"),
// "TMDb Key", and the base address of each service, whose defaults are the real ones.
struct LookupSettings {
    enum class Source { Wikidata, Tmdb };
    Source source = Source::Wikidata;
    QString tmdbKey;
    QUrl wikidataAddress;
    QUrl wikipediaAddress;
    QUrl tmdbAddress;
};
LookupSettings lookupSettings();
Failure saveLookupSettings(const LookupSettings &settings);

// Each save writes the store at once and fails (Io) when it cannot be written; the
// value then holds in this process only, until it ends.

} // namespace platform
