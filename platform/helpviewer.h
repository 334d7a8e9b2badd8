#pragma once

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

struct chmFile;
class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {

// One entry of a sitemap file (.hhc contents, .hhk index).
struct SitemapEntry {
    QString name;
    QString local; // archive path, possibly with "#fragment"; empty for a heading
    std::vector<SitemapEntry> children;
};
std::vector<SitemapEntry> parseSitemap(const QString &html);

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
    // The page the file opens at: the stated default topic when it can be read, else
    // a usual start page, else the first page of the contents, else any page.
    QString startTopic() const;

private:
    bool compressedSectionIsSound();
    void readSystemRecord();
    QString firstReadableTopic(const std::vector<SitemapEntry> &entries) const;

    struct Closer {
        void operator()(chmFile *f) const;
    };
    std::unique_ptr<chmFile, Closer> file_;
    quint64 unpackedLength_ = 0; // bytes of the compressed section once unpacked
    QString title_, defaultTopic_, contentsFile_, indexFile_;
};


// Turns a sitemap or #SYSTEM topic reference ("a.html", "/a.html#x",
// "ms-its:file.chm::/a.html") into an absolute archive path.
QString archivePathOf(const QString &reference);

// The page view. Pages, pictures and style sheets come from the archive; links
// between topics stay inside it, links to web addresses go to the desktop's browser.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    void setArchive(const ChmArchive *archive) { archive_ = archive; }
    QVariant loadResource(int type, const QUrl &name) override;

    // The address under which an archive path is shown ("chm:/welcome.html").
    static QUrl topicUrl(const QString &archivePath);

private:
    void followLink(const QUrl &url);

    const ChmArchive *archive_ = nullptr;
};

// The help window: contents and index beside the page, back, forward and home.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);
    ~HelpViewer() override;

    // Reads the help file afresh and shows its start page, or a page saying that the
    // file cannot be opened.
    void openFile(const QString &path);

    bool isFileOpen() const { return archive_ && archive_->isOpen(); }
    QString filePath() const { return path_; }
    HelpBrowser *page() const { return page_; }

private:
    void attachPage(HelpBrowser *fresh);
    void showCannotOpen(const QString &reason);
    void fillContents(const std::vector<SitemapEntry> &entries, QTreeWidgetItem *parent);
    void fillIndex(const std::vector<SitemapEntry> &entries);
    void filterIndex(const QString &text);
    void openIndexEntry(QListWidgetItem *item);
    void openTopic(const QString &reference);
    void markCurrentTopic(const QUrl &shown);
    void updateTitle();

    QString path_;
    std::unique_ptr<ChmArchive> archive_;
    QAction *back_;
    QAction *forward_;
    QAction *home_;
    QSplitter *splitter_;
    QTabWidget *tabs_;
    QTreeWidget *contents_;
    QLineEdit *indexFilter_;
    QListWidget *index_;
    HelpBrowser *page_ = nullptr;
};

} // namespace platform
