// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextBrowser>
#include <QUrl>

namespace help {

class ChmArchive;

// The page view of the help window. Pages, pictures and style sheets come from the
// archive; links between topics stay inside it, links to web addresses go to the
// desktop's browser.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget *parent = nullptr);

    void setArchive(const ChmArchive *archive) { archive_ = archive; }
    QVariant loadResource(int type, const QUrl &name) override;

    // The address under which an archive path is shown ("chm:/welcome.html").
    static QUrl topicUrl(const QString &archivePath);
    // True for an address of a page of the help file.
    static bool isTopicUrl(const QUrl &url);

private:
    void followLink(const QUrl &url);

    const ChmArchive *archive_ = nullptr;
};

} // namespace help
