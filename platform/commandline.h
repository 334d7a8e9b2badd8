// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// What the command line asks for. When finished is set, the program prints output (on
// standard output when exitCode is 0, else on standard error) and ends without a window.
struct CommandLine {
    QString catalogue; // --catalogue PATH, empty when not given
    bool finished = false;
    int exitCode = 0;
    QString output;
};

// Reads --help, --version and --catalogue (-c); anything else is an error that names it.
CommandLine parseCommandLine(const QStringList &arguments, const QString &version);

} // namespace platform
