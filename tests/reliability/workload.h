// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"

#include <QString>
#include <optional>

namespace reliability {

// The movie the worker saves under a sequence number: every field derived from it, so
// that a reader can tell from the title alone what the whole row must hold. Sizes vary
// from a few bytes to several pages, and the text mixes scripts and control characters.
inline catalogue::Movie workloadMovie(qint64 seq)
{
    const QString n = QString::number(seq);
    const int length = int(seq % 7) * 300 + (seq % 11 == 0 ? 6000 : 0);
    catalogue::Movie m;
    m.values = {QString("Movie %1").arg(seq, 8, 10, QChar('0')),
                "Description " + n + ": " + QString(length, QChar(char16_t(u'a' + seq % 26))),
                QStringList{"Action", "Comedy", "Drama", "Horror", "Sci-Fi"}[int(seq % 5)],
                QString::fromUtf8("Zoë Ngô, 李小龍\t\xF0\x9F\x8E\xAC #") + n,
                "Review " + n + "\r\nline two\x1b",
                QStringList{"G", "PG", "PG-13", "R", ""}[int(seq % 5)],
                QString::number(1950 + seq % 70),
                QString::number(80 + seq % 90)};
    return m;
}

inline std::optional<qint64> workloadSeq(const QString &title)
{
    if (!title.startsWith("Movie "))
        return std::nullopt;
    bool ok = false;
    const qint64 seq = title.mid(6).toLongLong(&ok);
    return ok ? std::optional<qint64>(seq) : std::nullopt;
}

} // namespace reliability
