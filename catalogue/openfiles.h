// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace catalogue {

// Keeps count of the connections this process has open on each catalogue file, so
// that an operation that rewrites the whole file can refuse while another window
// still works on it. Files are told apart by their canonical path.
class OpenFileRegistration {
public:
    explicit OpenFileRegistration(const QString &path);
    ~OpenFileRegistration();
    OpenFileRegistration(const OpenFileRegistration &) = delete;
    OpenFileRegistration &operator=(const OpenFileRegistration &) = delete;

private:
    QString key_;
};

// Connections of this process registered on the file.
int openConnections(const QString &path);

// A process other than this one that has a file open.
struct OtherProcess {
    qint64 pid = 0;
    QString name;
};

// The other running processes that hold the file open (read from /proc on Linux;
// elsewhere none can be found). Processes whose descriptors cannot be read are
// passed over. Never opens the file itself.
QList<OtherProcess> otherProcessesWithFile(const QString &path);

} // namespace catalogue
