// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/openfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace catalogue {

namespace {

QMutex registryLock;

QHash<QString, int> &registry()
{
    static QHash<QString, int> counts;
    return counts;
}

QString keyFor(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

OpenFileRegistration::OpenFileRegistration(const QString &path) : key_(keyFor(path))
{
    QMutexLocker lock(&registryLock);
    ++registry()[key_];
}

OpenFileRegistration::~OpenFileRegistration()
{
    QMutexLocker lock(&registryLock);
    auto it = registry().find(key_);
    if (it != registry().end() && --it.value() <= 0)
        registry().erase(it);
}

int openConnections(const QString &path)
{
    const QString key = keyFor(path);
    QMutexLocker lock(&registryLock);
    return registry().value(key, 0);
}

QList<OtherProcess> otherProcessesWithFile(const QString &path)
{
    QList<OtherProcess> found;
#ifdef Q_OS_LINUX
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return found;
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList pids = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : pids) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == self)
            continue;
        const QDir fds("/proc/" + entry + "/fd");
        // Unreadable for processes of other users, and gone for processes that ended.
        const QStringList links = fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &fd : links) {
            if (QFile::symLinkTarget(fds.filePath(fd)) != target)
                continue;
            QFile comm("/proc/" + entry + "/comm");
            QString name;
            if (comm.open(QIODevice::ReadOnly))
                name = QString::fromLocal8Bit(comm.readAll()).trimmed();
            found.append({pid, name});
            break;
        }
    }
#else
    Q_UNUSED(path);
#endif
    return found;
}

} // namespace catalogue
