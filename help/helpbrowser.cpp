// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/helpbrowser.h"

#include "help/chmarchive.h"

#include <QDesktopServices>
#include <QImage>

namespace help {

namespace {
const QString Scheme = QStringLiteral("chm");
} // namespace

HelpBrowser::HelpBrowser(QWidget *parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("helpPage"));
    setAccessibleName(QStringLiteral("Help page"));
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QUrl HelpBrowser::topicUrl(const QString &archivePath)
{
    const QString path = archivePathOf(archivePath);
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    QUrl url;
    url.setScheme(Scheme);
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

bool HelpBrowser::isTopicUrl(const QUrl &url) { return url.scheme() == Scheme; }

void HelpBrowser::followLink(const QUrl &url)
{
    if (url.scheme() == Scheme) {
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
        url = (source().scheme() == Scheme ? source() : topicUrl(QStringLiteral("/"))).resolved(name);
    // Pages never reach outside the help file, not even to local files.
    if (url.scheme() != Scheme)
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
        return decodeHelpText(*data);
    default:
        return *data;
    }
}

} // namespace help
