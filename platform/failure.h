// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// What went wrong, set where the failure is found (from SQLite's or the system's code, or
// by the reader that met the problem); callers branch on it, never on a message's text.
// Unreadable: the content cannot be read as the format asked (broken, not text);
// WrongFormat: it reads, but as another kind of file than the one asked.
enum class ErrorKind {
    None,
    DiskFull,
    Io,
    NotACatalogue,
    Damaged,
    Busy,
    ReadOnly,
    CantOpen,
    Cancelled,
    Unreadable,
    WrongFormat,
    Other
};

// Every function of catalogue/, exchange/ and platform/ that can fail answers one: empty
// when it worked, otherwise the kind and a sentence a collector can act on.
struct [[nodiscard]] Failure {
    ErrorKind kind = ErrorKind::None;
    QString message;
    int code = 0; // SQLite's result code when the failure comes from SQLite
    explicit operator bool() const { return kind != ErrorKind::None; }
};

} // namespace platform
