// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "platform/settings.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

namespace lookup {

// One film a search found: enough to let the user pick it.
struct Candidate {
    QString id; // the source's own key (a Wikidata item, a TMDb id)
    QString title;
    int year = 0;    // 0 when the source does not know it
    QString summary; // one line of description
};

// Why a request did not give an answer.
enum class Failure { None, Network, TimedOut, HttpError, RateLimited, KeyRefused, BadAnswer, TooLarge, Cancelled };

// One request in flight. It emits finished() exactly once, from the event loop, also
// after abort(); the caller owns it and may delete it at any time (that cancels it too).
class Request : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool isFinished() const { return finishedFlag; }
    Failure failure() const { return failureKind; }
    // A sentence naming the source and what failed; empty on success. Never holds a key.
    QString errorMessage() const { return message; }
    // After a search: the candidates, best first (empty when nothing matched).
    QList<Candidate> candidates() const { return found; }
    // After details(): the proposed values of Title, Description, Category, Actors,
    // Rating, Year and Time; Review is always empty. An unknown field is empty.
    catalogue::Movie details() const { return movie; }
    virtual void abort() = 0;

signals:
    void finished();

protected:
    void finishWith(QList<Candidate> candidates);
    void finishWith(const catalogue::Movie &details);
    void fail(Failure kind, const QString &text);

private:
    void finish();
    bool finishedFlag = false;
    Failure failureKind = Failure::None;
    QString message;
    QList<Candidate> found;
    catalogue::Movie movie;
};

// An online movie database. Requests are asynchronous and sent one at a time.
class Source {
public:
    virtual ~Source() = default;
    // The name shown in messages: "Wikidata", "The Movie Database".
    virtual QString name() const = 0;
    // Searches by title, and by year when year > 0.
    virtual std::unique_ptr<Request> search(const QString &title, int year) = 0;
    virtual std::unique_ptr<Request> details(const Candidate &candidate) = 0;
};

// The source the settings choose, talking to the addresses they hold.
std::unique_ptr<Source> makeSource(const platform::LookupSettings &settings);

} // namespace lookup
