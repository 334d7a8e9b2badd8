// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QString>

namespace exchange {

bool looksLikeZip(QByteArrayView bytes);

// Inflates one member of a zip archive held in memory. A member whose size, as the
// archive states it or as it turns out while inflating, passes limit is refused (Other)
// before more than limit bytes are held. An archive without the member is WrongFormat;
// one that cannot be read, Unreadable.
platform::Failure readZipMember(const QByteArray &zip, const char *name, qint64 limit, QByteArray &out);

// A zip archive holding one member, compressed.
platform::Failure writeZip(const char *name, const QByteArray &data, QByteArray &zip);

} // namespace exchange
