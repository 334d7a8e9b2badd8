// SPDX-License-Identifier: GPL-3.0-or-later
#include "match.h"

namespace lookup {

QString foldedTitle(const QString &title)
{
    const QString decomposed = title.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c);
    }
    return folded.toCaseFolded().simplified();
}

bool isConfidentMatch(const QString &title, int year, const QString &candidateTitle, int candidateYear)
{
    if (foldedTitle(title) != foldedTitle(candidateTitle))
        return false;
    return year <= 0 || year == candidateYear;
}

} // namespace lookup
