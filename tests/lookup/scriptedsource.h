// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A source whose answers the test scripts per title and per candidate, given from the
// event loop as a real source gives them: candidates, details, a failure, or nothing
// until the request is aborted.

#include "lookup/source.h"

#include <QHash>
#include <QStringList>
#include <QTimer>
#include <memory>

namespace lookuptest {

struct Answer {
    QList<lookup::Candidate> candidates;
    catalogue::Movie details;
    lookup::Failure failure = lookup::Failure::None;
    bool hang = false;
    QString message; // the failure's message; empty gives "<source> could not be reached: ..."
};

struct Script {
    QString name = QStringLiteral("Wikidata");
    QHash<QString, Answer> searches; // by title; a title not listed finds nothing
    QHash<QString, Answer> details;  // by candidate id
    QStringList asked;               // "search Alien 1979", "details Q1"
    int open = 0;                    // requests alive
    int aborted = 0;

    // A film the search for title finds, with its details.
    void film(const QString &title, int year, const QString &id, const catalogue::Movie &found)
    {
        searches[title].candidates << lookup::Candidate{id, title, year, QString()};
        details[id].details = found;
    }
};

class ScriptedRequest : public lookup::Request {
public:
    explicit ScriptedRequest(std::shared_ptr<Script> script) : script_(std::move(script)) { ++script_->open; }
    ~ScriptedRequest() override { --script_->open; }
    void abort() override
    {
        ++script_->aborted;
        fail(lookup::Failure::Cancelled, QStringLiteral("The look-up was cancelled."));
    }
    void answer(const Answer &a, bool search)
    {
        if (a.hang)
            return;
        QTimer::singleShot(1, this, [this, a, search, name = script_->name] {
            if (a.failure != lookup::Failure::None)
                fail(a.failure, !a.message.isEmpty()
                                    ? a.message
                                    : name + QStringLiteral(" could not be reached: the network is down."));
            else if (search)
                finishWith(a.candidates);
            else
                finishWith(a.details);
        });
    }

private:
    std::shared_ptr<Script> script_;
};

class ScriptedSource : public lookup::Source {
public:
    explicit ScriptedSource(std::shared_ptr<Script> script) : script_(std::move(script)) {}
    QString name() const override { return script_->name; }
    std::unique_ptr<lookup::Request> search(const QString &title, int year) override
    {
        script_->asked << QStringLiteral("search %1 %2").arg(title).arg(year);
        auto r = std::make_unique<ScriptedRequest>(script_);
        r->answer(script_->searches.value(title), true);
        return r;
    }
    std::unique_ptr<lookup::Request> details(const lookup::Candidate &candidate) override
    {
        script_->asked << QStringLiteral("details %1").arg(candidate.id);
        auto r = std::make_unique<ScriptedRequest>(script_);
        r->answer(script_->details.value(candidate.id), false);
        return r;
    }

private:
    std::shared_ptr<Script> script_;
};

// A movie as typed from a plain list: a title and a year, nothing else.
inline catalogue::Movie bare(const QString &title, const QString &year = QString())
{
    return catalogue::makeMovie(title, "", "", "", "", "", year, "");
}

// The details a source answers for a film.
inline catalogue::Movie found(const QString &title, const QString &year)
{
    return catalogue::makeMovie(title, "The story of " + title, "Horror", "Sigourney Weaver", "", "R", year, "117");
}

} // namespace lookuptest
