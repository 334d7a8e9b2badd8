// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "help/sitemap.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QSplitter;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QUrl;

namespace help {

class ChmArchive;
class HelpBrowser;

// The help window: contents and index beside the page, back, forward and home.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);
    ~HelpViewer() override;

    // Reads the help file afresh and shows its start page, or a page saying that the
    // file cannot be opened.
    void openFile(const QString &path);

    bool isFileOpen() const;
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

} // namespace help
