#include "helpviewer.h"

#include <chm_lib.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStringDecoder>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace platform {

namespace {

const QString kScheme = QStringLiteral("chm");
// Nothing in a help file is this large; a bigger size is a damaged directory entry.
constexpr LONGUINT64 kMaxObjectSize = 64u * 1024 * 1024;
constexpr int kTopicRole = Qt::UserRole;

// Text stored in a CHM: UTF-8 from current compilers, an ANSI code page from older ones.
QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

QString untilNul(const QByteArray &bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return decodeText(nul < 0 ? bytes : bytes.left(nul));
}

QString withoutFragment(const QString &reference)
{
    const qsizetype hash = reference.indexOf(QLatin1Char('#'));
    return hash < 0 ? reference : reference.left(hash);
}

bool isPage(const QString &path)
{
    return path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive);
}

quint64 little(const QByteArray &bytes, qsizetype at, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

QString decodeEntities(QString text)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        out += text.mid(last, m.capturedStart() - last);
        if (ok && code > 0 && code <= 0x10FFFF)
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QLatin1String("&quot;"), QLatin1String("\""));
    out.replace(QLatin1String("&lt;"), QLatin1String("<"));
    out.replace(QLatin1String("&gt;"), QLatin1String(">"));
    out.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// ChmArchive

void ChmArchive::Closer::operator()(chmFile *f) const { chm_close(f); }

ChmArchive::ChmArchive(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return;
    file_.reset(chm_open(QFile::encodeName(path).constData()));
    if (file_ && !compressedSectionIsSound())
        file_.reset();
    if (file_)
        readSystemRecord();
}

// chmlib trusts the tables that describe the compressed section: a damaged reset
// table or control record makes it read past its buffers or divide by zero. So
// they are checked here, the way chmlib will use them, before any compressed
// object is read.
bool ChmArchive::compressedSectionIsSound()
{
    const auto uncompressed = [this](const char *name, chmUnitInfo *ui) {
        return chm_resolve_object(file_.get(), name, ui) == CHM_RESOLVE_SUCCESS && ui->space == CHM_UNCOMPRESSED;
    };
    chmUnitInfo resetUnit{}, contentUnit{}, controlUnit{};
    if (!uncompressed("::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
                      "InstanceData/ResetTable",
                      &resetUnit)
        || !uncompressed("::DataSpace/Storage/MSCompressed/Content", &contentUnit)
        || !uncompressed("::DataSpace/Storage/MSCompressed/ControlData", &controlUnit))
        return true; // chmlib then reads no compressed object at all

    const auto readWhole = [this](chmUnitInfo *ui, LONGUINT64 limit) -> QByteArray {
        if (ui->length > limit)
            return {};
        QByteArray data(qsizetype(ui->length), Qt::Uninitialized);
        const LONGINT64 got = chm_retrieve_object(file_.get(), ui, reinterpret_cast<unsigned char *>(data.data()),
                                                  0, LONGINT64(ui->length));
        return got == LONGINT64(ui->length) ? data : QByteArray();
    };

    const QByteArray control = readWhole(&controlUnit, 256);
    if (control.size() < 0x18 || control.mid(4, 4) != "LZXC")
        return false;
    quint64 resetInterval = little(control, 0x0c, 4);
    quint64 windowSize = little(control, 0x10, 4);
    const quint64 windowsPerReset = little(control, 0x14, 4);
    if (little(control, 0x08, 4) == 2) {
        resetInterval *= 0x8000;
        windowSize *= 0x8000;
    }
    const bool lzxWindow = windowSize >= (1u << 15) && windowSize <= (1u << 21) && (windowSize & (windowSize - 1)) == 0;
    if (!lzxWindow || resetInterval == 0 || resetInterval % (windowSize / 2) != 0 || windowsPerReset == 0
        || quint32(resetInterval / (windowSize / 2) * windowsPerReset) == 0)
        return false;

    const QByteArray reset = readWhole(&resetUnit, kMaxObjectSize);
    if (reset.size() < 0x28 || little(reset, 0, 4) != 2)
        return false;
    const quint64 blockCount = little(reset, 4, 4);
    const quint64 tableOffset = little(reset, 12, 4);
    const quint64 uncompressedLength = little(reset, 16, 8);
    const quint64 compressedLength = little(reset, 24, 8);
    const quint64 blockLength = little(reset, 32, 8);
    if (blockLength != 0x8000 || blockCount == 0 || tableOffset > quint64(reset.size())
        || (quint64(reset.size()) - tableOffset) / 8 < blockCount || compressedLength > contentUnit.length
        || uncompressedLength > blockCount * blockLength)
        return false;
    for (quint64 block = 0; block < blockCount; ++block) {
        const quint64 start = little(reset, qsizetype(tableOffset + block * 8), 8);
        const quint64 end = block + 1 < blockCount ? little(reset, qsizetype(tableOffset + block * 8 + 8), 8)
                                                   : compressedLength;
        if (end < start || end - start > blockLength + 6144 || end > compressedLength)
            return false;
    }
    unpackedLength_ = uncompressedLength;
    return true;
}

ChmArchive::~ChmArchive() = default;

bool ChmArchive::contains(const QString &archivePath) const
{
    if (!file_)
        return false;
    const QByteArray name = archivePath.toUtf8();
    if (name.isEmpty() || name.size() > CHM_MAX_PATHLEN)
        return false;
    chmUnitInfo ui{};
    return chm_resolve_object(file_.get(), name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmArchive::read(const QString &archivePath) const
{
    if (!file_)
        return std::nullopt;
    const QByteArray name = archivePath.toUtf8();
    if (name.isEmpty() || name.size() > CHM_MAX_PATHLEN)
        return std::nullopt;
    chmUnitInfo ui{};
    if (chm_resolve_object(file_.get(), name.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (ui.length > kMaxObjectSize)
        return std::nullopt;
    if (ui.space != CHM_UNCOMPRESSED && (ui.start > unpackedLength_ || ui.length > unpackedLength_ - ui.start))
        return std::nullopt;
    QByteArray data(qsizetype(ui.length), Qt::Uninitialized);
    if (ui.length == 0)
        return data;
    const LONGINT64 got = chm_retrieve_object(file_.get(), &ui, reinterpret_cast<unsigned char *>(data.data()), 0,
                                              LONGINT64(ui.length));
    if (got != LONGINT64(ui.length))
        return std::nullopt;
    return data;
}

// #SYSTEM: a 4-byte version, then records of a 16-bit code, a 16-bit length and the
// data, all little-endian. Code 0 names the contents file, 1 the index, 2 the
// default topic, 3 the title.
void ChmArchive::readSystemRecord()
{
    const auto system = read(QStringLiteral("/#SYSTEM"));
    if (!system)
        return;
    const auto *bytes = reinterpret_cast<const unsigned char *>(system->constData());
    const qsizetype size = system->size();
    for (qsizetype pos = 4; pos + 4 <= size;) {
        const int code = bytes[pos] | (bytes[pos + 1] << 8);
        const int length = bytes[pos + 2] | (bytes[pos + 3] << 8);
        pos += 4;
        if (pos + length > size)
            break;
        const QByteArray data = system->mid(pos, length);
        switch (code) {
        case 0: contentsFile_ = untilNul(data); break;
        case 1: indexFile_ = untilNul(data); break;
        case 2: defaultTopic_ = untilNul(data); break;
        case 3: title_ = untilNul(data); break;
        default: break;
        }
        pos += length;
    }
}

QString ChmArchive::firstReadableTopic(const std::vector<SitemapEntry> &entries) const
{
    for (const auto &entry : entries) {
        if (!entry.local.isEmpty() && read(withoutFragment(entry.local)))
            return entry.local;
        const QString inside = firstReadableTopic(entry.children);
        if (!inside.isEmpty())
            return inside;
    }
    return {};
}

QString ChmArchive::startTopic() const
{
    if (!file_)
        return {};
    if (!defaultTopic_.isEmpty()) {
        const QString topic = archivePathOf(defaultTopic_);
        if (read(withoutFragment(topic)))
            return topic;
    }
    for (const char *usual : {"/index.html", "/index.htm", "/default.html", "/default.htm"}) {
        if (read(QLatin1String(usual)))
            return QLatin1String(usual);
    }
    if (!contentsFile_.isEmpty()) {
        if (const auto hhc = read(archivePathOf(contentsFile_))) {
            const QString first = firstReadableTopic(parseSitemap(decodeText(*hhc)));
            if (!first.isEmpty())
                return first;
        }
    }
    struct Search {
        const ChmArchive *archive;
        QString page;
    } search{this, {}};
    chm_enumerate(
        file_.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES,
        [](chmFile *, chmUnitInfo *ui, void *context) -> int {
            auto *search = static_cast<Search *>(context);
            const QString path = QString::fromUtf8(ui->path);
            if (!isPage(path) || !search->archive->read(path))
                return CHM_ENUMERATOR_CONTINUE;
            search->page = path;
            return CHM_ENUMERATOR_SUCCESS;
        },
        &search);
    return search.page;
}

// ---------------------------------------------------------------------------
// Sitemaps

QString archivePathOf(const QString &reference)
{
    QString path = reference.trimmed();
    const qsizetype inner = path.indexOf(QLatin1String("::"));
    if (inner >= 0)
        path = path.mid(inner + 2);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

std::vector<SitemapEntry> parseSitemap(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral("<\\s*(/?)\\s*(ul|object|param)\\b([^>]*)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral("([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"));
    constexpr size_t kMaxDepth = 32;

    std::vector<SitemapEntry> root;
    std::vector<std::vector<SitemapEntry> *> levels{&root};
    bool seenList = false;
    std::optional<SitemapEntry> open;

    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        QHash<QString, QString> attrs;
        for (auto a = attribute.globalMatch(m.captured(3)); a.hasNext();) {
            const auto am = a.next();
            const QString value = !am.captured(2).isNull() ? am.captured(2)
                                : !am.captured(3).isNull() ? am.captured(3)
                                                           : am.captured(4);
            attrs.insert(am.captured(1).toLower(), decodeEntities(value));
        }
        if (name == QLatin1String("ul")) {
            if (closing) {
                if (levels.size() > 1)
                    levels.pop_back();
            } else if (!seenList) {
                seenList = true; // the outermost list is the top level itself
            } else if (levels.size() < kMaxDepth) {
                auto *current = levels.back();
                levels.push_back(current->empty() ? current : &current->back().children);
            }
        } else if (name == QLatin1String("object")) {
            if (!closing && attrs.value(QStringLiteral("type")).compare(QLatin1String("text/sitemap"),
                                                                        Qt::CaseInsensitive) == 0) {
                open.emplace();
            } else if (closing && open) {
                if (!open->name.isEmpty() || !open->local.isEmpty())
                    levels.back()->push_back(std::move(*open));
                open.reset();
            }
        } else if (name == QLatin1String("param") && open) {
            const QString key = attrs.value(QStringLiteral("name")).toLower();
            const QString value = attrs.value(QStringLiteral("value"));
            // An index keyword may list several topics; the first one is where it leads.
            if (key == QLatin1String("name") && open->name.isEmpty())
                open->name = value;
            else if (key == QLatin1String("local") && open->local.isEmpty() && !value.isEmpty())
                open->local = archivePathOf(value);
        }
    }
    return root;
}

// ---------------------------------------------------------------------------
// HelpBrowser

HelpBrowser::HelpBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("helpPage"));
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QUrl HelpBrowser::topicUrl(const QString &archivePath)
{
    const QString path = archivePathOf(archivePath);
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

void HelpBrowser::followLink(const QUrl &url)
{
    if (url.scheme() == kScheme) {
        setSource(url);
        return;
    }
    static const QStringList outside{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto")};
    if (outside.contains(url.scheme(), Qt::CaseInsensitive))
        QDesktopServices::openUrl(url);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (!archive_)
        return {};
    QUrl url = name;
    if (url.isRelative())
        url = (source().scheme() == kScheme ? source() : topicUrl(QStringLiteral("/"))).resolved(name);
    // Pages never reach outside the help file, not even to local files.
    if (url.scheme() != kScheme)
        return {};
    const auto data = archive_->read(url.path());
    if (!data) {
        if (type != QTextDocument::HtmlResource)
            return {};
        return tr("<p>The page \"%1\" cannot be read from the help file.</p>").arg(url.path().toHtmlEscaped());
    }
    switch (type) {
    case QTextDocument::ImageResource: {
        QImage image;
        if (!image.loadFromData(*data))
            return {};
        return image;
    }
    case QTextDocument::StyleSheetResource:
        return decodeText(*data);
    default:
        return *data;
    }
}

// ---------------------------------------------------------------------------
// HelpViewer

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent)
{
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
    connect(back_, &QAction::triggered, this, [this] { page_->backward(); });
    connect(forward_, &QAction::triggered, this, [this] { page_->forward(); });
    connect(home_, &QAction::triggered, this, [this] {
        if (isFileOpen())
            openTopic(archive_->startTopic());
    });

    contents_ = new QTreeWidget;
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setHeaderHidden(true);
    connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        const QString topic = item->data(0, kTopicRole).toString();
        if (topic.isEmpty())
            item->setExpanded(!item->isExpanded());
        else
            openTopic(topic);
    });
    connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        openTopic(item->data(0, kTopicRole).toString());
    });

    auto *indexPane = new QWidget;
    indexFilter_ = new QLineEdit;
    indexFilter_->setObjectName(QStringLiteral("helpIndexFilter"));
    indexFilter_->setPlaceholderText(tr("Type a keyword"));
    indexFilter_->setClearButtonEnabled(true);
    index_ = new QListWidget;
    index_->setObjectName(QStringLiteral("helpIndex"));
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

HelpViewer::~HelpViewer()
{
    page_->setArchive(nullptr);
}

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

    if (const auto hhc = archive_->contentsFile().isEmpty() ? std::nullopt
                                                            : archive_->read(archivePathOf(archive_->contentsFile())))
        fillContents(parseSitemap(decodeText(*hhc)), nullptr);
    if (const auto hhk = archive_->indexFile().isEmpty() ? std::nullopt
                                                         : archive_->read(archivePathOf(archive_->indexFile())))
        fillIndex(parseSitemap(decodeText(*hhk)));
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
    page_->setHtml(QStringLiteral("<h2>%1</h2><p>%2</p><p>%3</p>")
                       .arg(tr("Moviary Help"),
                            tr("Cannot open the help file \"%1\".")
                                .arg(QDir::toNativeSeparators(path_).toHtmlEscaped()),
                            reason.toHtmlEscaped()));
    updateTitle();
}

void HelpViewer::fillContents(const std::vector<SitemapEntry> &entries, QTreeWidgetItem *parent)
{
    for (const auto &entry : entries) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
        item->setText(0, entry.name.isEmpty() ? entry.local : entry.name);
        item->setData(0, kTopicRole, entry.local);
        item->setIcon(0, style()->standardIcon(entry.children.empty() ? QStyle::SP_FileIcon : QStyle::SP_DirIcon));
        fillContents(entry.children, item);
    }
}

void HelpViewer::fillIndex(const std::vector<SitemapEntry> &entries)
{
    for (const auto &entry : entries) {
        if (!entry.name.isEmpty() && !entry.local.isEmpty()) {
            auto *item = new QListWidgetItem(entry.name, index_);
            item->setData(kTopicRole, entry.local);
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
        openTopic(item->data(kTopicRole).toString());
}

void HelpViewer::openTopic(const QString &reference)
{
    if (isFileOpen() && !reference.isEmpty())
        page_->setSource(HelpBrowser::topicUrl(reference));
}

void HelpViewer::markCurrentTopic(const QUrl &shown)
{
    if (shown.scheme() != QLatin1String("chm"))
        return;
    const QString path = shown.path();
    const QString withFragment = shown.hasFragment() ? path + QLatin1Char('#') + shown.fragment() : path;
    QTreeWidgetItem *best = nullptr;
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString topic = (*it)->data(0, kTopicRole).toString();
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

} // namespace platform
