// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "help/sitemap.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct chmFile;

namespace help {

// Read access to a compiled HTML help file (CHM) through chmlib. Archive paths are
// absolute inside the file ("/welcome.html", "/images/emblem.png").
class ChmArchive {
public:
    explicit ChmArchive(const QString &path);
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The stored object, or nothing when it is absent or cannot be read whole.
    std::optional<QByteArray> read(const QString &archivePath) const;
    bool contains(const QString &archivePath) const;

    // From the file's #SYSTEM record; empty when not stated.
    QString title() const { return title_; }
    QString contentsFile() const { return contentsFile_; }
    QString indexFile() const { return indexFile_; }
    // The entries of the contents or the index; empty when the file has none.
    std::vector<SitemapEntry> contents() const { return sitemap(contentsFile_); }
    std::vector<SitemapEntry> index() const { return sitemap(indexFile_); }
    // The page the file opens at: the stated default topic when it can be read, else
    // a usual start page, else the first page of the contents, else any page.
    QString startTopic() const;

private:
    bool compressedSectionIsSound();
    void readSystemRecord();
    std::vector<SitemapEntry> sitemap(const QString &reference) const;
    QString firstReadableTopic(const std::vector<SitemapEntry> &entries) const;

    struct Closer {
        void operator()(chmFile *f) const;
    };
    std::unique_ptr<chmFile, Closer> file_;
    quint64 unpackedLength_ = 0; // bytes of the compressed section once unpacked
    QString title_, defaultTopic_, contentsFile_, indexFile_;
};

} // namespace help
