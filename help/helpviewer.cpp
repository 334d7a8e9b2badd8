// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/helpviewer.h"

#include "help/chmarchive.h"
#include "help/helpbrowser.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace help {

namespace {
constexpr int TopicRole = Qt::UserRole;
} // namespace

namespace {

// The help window is told to a screen reader as a dialog, not as a filler.
QAccessibleInterface *viewerInterface(const QString &className, QObject *object)
{
    if (className != QLatin1String("help::HelpViewer"))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Dialog);
}

} // namespace

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(viewerInterface);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr("Moviary Help"));

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("helpToolBar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    back_ = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"));
    back_->setObjectName(QStringLiteral("helpBack"));
    back_->setShortcut(QKeySequence::Back);
    forward_ = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Forward"));
    forward_->setObjectName(QStringLiteral("helpForward"));
    forward_->setShortcut(QKeySequence::Forward);
    home_ = toolBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Home"));
    home_->setObjectName(QStringLiteral("helpHome"));
    auto *closeAction = new QAction(tr("Close"), this);
    closeAction->setObjectName(QStringLiteral("helpClose"));
    closeAction->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);
    connect(back_, &QAction::triggered, this, [this] { page_->backward(); });
    connect(forward_, &QAction::triggered, this, [this] { page_->forward(); });
    connect(home_, &QAction::triggered, this, [this] {
        if (isFileOpen())
            openTopic(archive_->startTopic());
    });

    contents_ = new QTreeWidget;
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setHeaderHidden(true);
    contents_->setAccessibleName(tr("Contents"));
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        const QString topic = item->data(0, TopicRole).toString();
        if (topic.isEmpty())
            item->setExpanded(!item->isExpanded());
        else
            openTopic(topic);
    });
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { openTopic(item->data(0, TopicRole).toString()); });

    auto *indexPane = new QWidget;
    indexFilter_ = new QLineEdit;
    indexFilter_->setObjectName(QStringLiteral("helpIndexFilter"));
    indexFilter_->setPlaceholderText(tr("Type a keyword"));
    indexFilter_->setClearButtonEnabled(true);
    index_ = new QListWidget;
    index_->setObjectName(QStringLiteral("helpIndex"));
    index_->setAccessibleName(tr("Index"));
    indexFilter_->setAccessibleName(tr("Keyword"));
    auto *indexLayout = new QVBoxLayout(indexPane);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    indexLayout->addWidget(indexFilter_);
    indexLayout->addWidget(index_);
    connect(indexFilter_, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(indexFilter_, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < index_->count(); ++i) {
            if (!index_->item(i)->isHidden()) {
                openIndexEntry(index_->item(i));
                return;
            }
        }
    });
    connect(index_, &QListWidget::itemClicked, this, &HelpViewer::openIndexEntry);
    connect(index_, &QListWidget::itemActivated, this, &HelpViewer::openIndexEntry);

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("helpTabs"));
    tabs_->setAccessibleName(tr("Contents and index"));
    tabs_->addTab(contents_, tr("Contents"));
    tabs_->addTab(indexPane, tr("Index"));

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->addWidget(tabs_);
    splitter_->setChildrenCollapsible(false);
    attachPage(new HelpBrowser);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({230, 630});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter_, 1);
    resize(1040, 700);
}

HelpViewer::~HelpViewer() { page_->setArchive(nullptr); }

bool HelpViewer::isFileOpen() const { return archive_ && archive_->isOpen(); }

// A new page view for each file, so that nothing of the last file's pages, history
// or resource cache can show through.
void HelpViewer::attachPage(HelpBrowser *fresh)
{
    HelpBrowser *old = page_;
    page_ = fresh;
    if (old) {
        splitter_->replaceWidget(1, fresh);
        old->setArchive(nullptr);
        delete old;
    } else {
        splitter_->addWidget(fresh);
    }
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(fresh, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(fresh, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    // Emitted before source() changes: the new address is the argument.
    connect(fresh, &QTextBrowser::sourceChanged, this, [this](const QUrl &shown) {
        markCurrentTopic(shown);
        updateTitle();
    });
}

void HelpViewer::openFile(const QString &path)
{
    const bool sameFile = isFileOpen() && QFileInfo(path) == QFileInfo(path_);
    auto archive = std::make_unique<ChmArchive>(path);
    path_ = path;
    contents_->clear();
    index_->clear();
    indexFilter_->clear();

    if (!archive->isOpen()) {
        showCannotOpen(QFileInfo::exists(path) ? tr("The file is damaged or is not a help file.")
                                               : tr("The file does not exist."));
        return;
    }
    const QString start = archive->startTopic();
    if (start.isEmpty()) {
        showCannotOpen(tr("The file holds no page that can be shown."));
        return;
    }

    // The page view reads from the old archive until it is given the new one.
    if (!sameFile)
        attachPage(new HelpBrowser);
    page_->setArchive(archive.get());
    archive_ = std::move(archive);
    tabs_->setEnabled(true);
    home_->setEnabled(true);

    fillContents(archive_->contents(), nullptr);
    fillIndex(archive_->index());
    contents_->expandToDepth(0);

    const QUrl url = HelpBrowser::topicUrl(start);
    if (page_->source().adjusted(QUrl::RemoveFragment) == url.adjusted(QUrl::RemoveFragment))
        page_->reload();
    page_->setSource(url);
    markCurrentTopic(page_->source());
    updateTitle();
}

void HelpViewer::showCannotOpen(const QString &reason)
{
    attachPage(new HelpBrowser);
    archive_.reset();
    tabs_->setEnabled(false);
    home_->setEnabled(false);
    page_->setHtml(
        QStringLiteral("<h2>%1</h2><p>%2</p><p>%3</p>")
            .arg(tr("Moviary Help"),
                 tr("Cannot open the help file \"%1\".").arg(QDir::toNativeSeparators(path_).toHtmlEscaped()),
                 reason.toHtmlEscaped()));
    updateTitle();
}

void HelpViewer::fillContents(const std::vector<SitemapEntry> &entries, QTreeWidgetItem *parent)
{
    for (const auto &entry : entries) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
        item->setText(0, entry.name.isEmpty() ? entry.local : entry.name);
        item->setData(0, TopicRole, entry.local);
        item->setIcon(0, style()->standardIcon(entry.children.empty() ? QStyle::SP_FileIcon : QStyle::SP_DirIcon));
        fillContents(entry.children, item);
    }
}

void HelpViewer::fillIndex(const std::vector<SitemapEntry> &entries)
{
    for (const auto &entry : entries) {
        if (!entry.name.isEmpty() && !entry.local.isEmpty()) {
            auto *item = new QListWidgetItem(entry.name, index_);
            item->setData(TopicRole, entry.local);
        }
        fillIndex(entry.children);
    }
    index_->sortItems();
}

void HelpViewer::filterIndex(const QString &text)
{
    const QString wanted = text.trimmed();
    for (int i = 0; i < index_->count(); ++i) {
        QListWidgetItem *item = index_->item(i);
        const QString keyword = item->text();
        bool shown = wanted.isEmpty() || keyword.startsWith(wanted, Qt::CaseInsensitive);
        // A word inside the keyword counts too: "menu" finds "File menu".
        for (qsizetype at = keyword.indexOf(QLatin1Char(' ')); !shown && at >= 0;
             at = keyword.indexOf(QLatin1Char(' '), at + 1))
            shown = keyword.mid(at + 1).startsWith(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
    }
}

void HelpViewer::openIndexEntry(QListWidgetItem *item)
{
    if (item)
        openTopic(item->data(TopicRole).toString());
}

void HelpViewer::openTopic(const QString &reference)
{
    if (isFileOpen() && !reference.isEmpty())
        page_->setSource(HelpBrowser::topicUrl(reference));
}

void HelpViewer::markCurrentTopic(const QUrl &shown)
{
    if (!HelpBrowser::isTopicUrl(shown))
        return;
    const QString path = shown.path();
    const QString withFragment = shown.hasFragment() ? path + QLatin1Char('#') + shown.fragment() : path;
    QTreeWidgetItem *best = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString topic = (*it)->data(0, TopicRole).toString();
        if (topic.compare(withFragment, Qt::CaseInsensitive) == 0) {
            best = *it;
            break;
        }
        if (!best && withoutFragment(topic).compare(path, Qt::CaseInsensitive) == 0)
            best = *it;
    }
    const QSignalBlocker blocker(contents_);
    if (best)
        contents_->setCurrentItem(best);
    else
        contents_->clearSelection();
}

void HelpViewer::updateTitle()
{
    const QString file = isFileOpen() && !archive_->title().isEmpty() ? archive_->title() : tr("Moviary Help");
    const QString topic = isFileOpen() ? page_->documentTitle() : QString();
    setWindowTitle(topic.isEmpty() ? file : tr("%1 - %2").arg(file, topic));
}

} // namespace help
