// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>
#include <QString>

namespace platform {

// "1 movie", "2 movies": a count with its noun in the right number.
inline QString counted(qint64 n, const char *one, const char *many)
{
    return QString("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace platform
