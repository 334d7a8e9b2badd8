// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/sitemap.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

namespace help {

namespace {

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

QString decodeHelpText(const QByteArray &bytes)
{
    // Stateless, so that a lead byte at the very end counts as an error, not as text to come.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

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

QString withoutFragment(const QString &reference)
{
    const qsizetype hash = reference.indexOf(QLatin1Char('#'));
    return hash < 0 ? reference : reference.left(hash);
}

std::vector<SitemapEntry> parseSitemap(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral("<\\s*(/?)\\s*(ul|object|param)\\b([^>]*)>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attribute(
        QStringLiteral("([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"));
    constexpr size_t MaxDepth = 32;

    std::vector<SitemapEntry> root;
    std::vector<std::vector<SitemapEntry> *> levels{&root};
    bool seenList = false;
    size_t listsBeyondDepth = 0; // opened past the limit: their closing tags leave the levels alone
    std::optional<SitemapEntry> open;

    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        QHash<QString, QString> attrs;
        for (auto a = attribute.globalMatch(m.captured(3)); a.hasNext();) {
            const auto am = a.next();
            const QString value = !am.captured(2).isNull()   ? am.captured(2)
                                  : !am.captured(3).isNull() ? am.captured(3)
                                                             : am.captured(4);
            attrs.insert(am.captured(1).toLower(), decodeEntities(value));
        }
        if (name == QLatin1String("ul")) {
            if (closing) {
                if (listsBeyondDepth > 0)
                    --listsBeyondDepth;
                else if (levels.size() > 1)
                    levels.pop_back();
            } else if (!seenList) {
                seenList = true; // the outermost list is the top level itself
            } else if (levels.size() < MaxDepth) {
                auto *current = levels.back();
                levels.push_back(current->empty() ? current : &current->back().children);
            } else {
                ++listsBeyondDepth;
            }
        } else if (name == QLatin1String("object")) {
            if (!closing &&
                attrs.value(QStringLiteral("type")).compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0) {
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

} // namespace help
