// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/sources.h"

#include "catalogue/categories.h"
#include "exchange/conversions.h"

namespace lookup {

HttpRequest::HttpRequest(std::shared_ptr<Http> queue, QString sourceName)
    : http(std::move(queue)), name(std::move(sourceName))
{
}

HttpRequest::~HttpRequest() { http->cancel(this); }

void HttpRequest::abort()
{
    http->cancel(this);
    fail(Failure::Cancelled, QStringLiteral("The look-up in %1 was cancelled.").arg(name));
}

void HttpRequest::fetch(const QUrl &url, const Headers &headers, const QString &service,
                        std::function<void(const QByteArray &)> ok)
{
    if (isFinished())
        return;
    http->get(url, headers, service, this, [this, service, ok = std::move(ok)](const Reply &reply) {
        const Reply read = translate(reply);
        if (read.failure != Failure::None)
            fail(read.failure, read.message);
        else if (holdsControlCharacters(read.body))
            fail(Failure::BadAnswer,
                 QStringLiteral("%1 sent text holding control characters; nothing was taken from it.").arg(service));
        else
            ok(read.body);
    });
}

void HttpRequest::failBadAnswer(const QString &service)
{
    fail(Failure::BadAnswer, QStringLiteral("%1 gave an answer that is not in the expected form.").arg(service));
}

QString categoryFromGenreLabels(const QStringList &labels)
{
    QStringList genres;
    for (const QString &label : labels) {
        QString g = label.trimmed();
        if (g.endsWith(QStringLiteral(" film"), Qt::CaseInsensitive))
            g.chop(5);
        genres << g;
    }
    const QString category = exchange::categoryFrom(genres);
    for (const QString &c : catalogue::categoryNames())
        if (category.compare(c, Qt::CaseInsensitive) == 0)
            return c;
    return labels.value(0).trimmed();
}

std::unique_ptr<Source> makeSource(const platform::LookupSettings &settings)
{
    if (settings.source == platform::LookupSettings::Source::Tmdb)
        return std::make_unique<TmdbSource>(settings.tmdbAddress, settings.tmdbKey);
    return std::make_unique<WikidataSource>(settings.wikidataAddress, settings.wikipediaAddress);
}

} // namespace lookup
