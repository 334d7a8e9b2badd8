// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator.h"

#include "catalogue/categories.h"
#include "catalogue/schema.h"

#include <QRandomGenerator>
#include <QStringList>

namespace bench {

namespace {

const QStringList &words()
{
    static const QStringList w{"night", "river", "star", "last", "city", "dark", "summer", "king", "shadow", "love",
                               "road", "storm", "silent", "golden", "lost", "edge", "fire", "dream", "secret", "wild",
                               "stone", "ghost", "heart", "time", "blue", "iron", "winter", "crown", "garden", "hunter",
                               "ocean", "mirror", "empire", "angel", "border", "thunder", "desert", "island",
                               "midnight", "promise", "journey", "glass", "raven", "harbor", "signal",
                               // Marks and ligatures, so that searches and sorts pay for folding them.
                               "été", "château", "æon", "straße", "über", "niño", "œuvre", "søren"};
    return w;
}

QString phrase(QRandomGenerator &rng, int minChars)
{
    QString s;
    while (s.size() < minChars) {
        if (!s.isEmpty())
            s += ' ';
        s += words()[rng.bounded(int(words().size()))];
    }
    return s;
}

QString title(QRandomGenerator &rng)
{
    QString t;
    const int n = 1 + rng.bounded(4);
    for (int i = 0; i < n; ++i) {
        QString w = words()[rng.bounded(int(words().size()))];
        w[0] = w[0].toUpper();
        t += (i ? " " : "") + w;
    }
    return t;
}

} // namespace

std::vector<catalogue::Movie> generateMovies(int n)
{
    QRandomGenerator rng(20261207);
    std::vector<catalogue::Movie> movies;
    movies.reserve(n);
    const auto &categories = catalogue::categoryNames();
    const auto &ratings = catalogue::ratingCodes();
    for (int i = 0; i < n; ++i) {
        movies.push_back(
            catalogue::makeMovie(title(rng), phrase(rng, 190 + rng.bounded(20)),
                                 categories[rng.bounded(int(categories.size()))], phrase(rng, 30 + rng.bounded(30)),
                                 phrase(rng, 90 + rng.bounded(20)), ratings[rng.bounded(int(ratings.size()))],
                                 QString::number(1930 + rng.bounded(95)), QString::number(70 + rng.bounded(130))));
    }
    return movies;
}

} // namespace bench
