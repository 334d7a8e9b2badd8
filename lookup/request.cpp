// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookup/source.h"

#include <QTimer>

namespace lookup {

void Request::finishWith(QList<Candidate> candidates)
{
    if (finishedFlag)
        return;
    found = std::move(candidates);
    finish();
}

void Request::finishWith(const catalogue::Movie &details)
{
    if (finishedFlag)
        return;
    movie = details;
    finish();
}

void Request::fail(Failure kind, const QString &text)
{
    if (finishedFlag)
        return;
    failureKind = kind;
    message = text;
    finish();
}

void Request::finish()
{
    if (finishedFlag)
        return;
    finishedFlag = true;
    // Always from the event loop, so that a caller connecting after the call still hears it.
    QTimer::singleShot(0, this, &Request::finished);
}

} // namespace lookup
