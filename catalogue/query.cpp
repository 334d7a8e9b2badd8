// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/query.h"

#include <QStringList>

namespace catalogue {

namespace {

struct Token {
    enum Kind { Word, Bracketed, String, Symbol, End } kind;
    QString text;
};

class Lexer {
public:
    explicit Lexer(const QString &s) : s_(s) {}

    bool next(Token &t, QString &error)
    {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
        if (i_ >= s_.size()) {
            t = {Token::End, {}};
            return true;
        }
        const QChar c = s_[i_];
        if (c == '\'') {
            QString lit;
            for (++i_;; ++i_) {
                if (i_ >= s_.size()) {
                    error = "a text in quotes is not closed";
                    return false;
                }
                if (s_[i_] == '\'') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                        lit += '\'';
                        ++i_;
                        continue;
                    }
                    ++i_;
                    break;
                }
                lit += s_[i_];
            }
            t = {Token::String, lit};
            return true;
        }
        if (c == '[') {
            const int close = s_.indexOf(']', i_ + 1);
            if (close < 0) {
                error = "a name in brackets is not closed";
                return false;
            }
            t = {Token::Bracketed, s_.mid(i_ + 1, close - i_ - 1)};
            i_ = close + 1;
            return true;
        }
        if (c.isLetterOrNumber() || c == '_') {
            const int start = i_;
            while (i_ < s_.size() && (s_[i_].isLetterOrNumber() || s_[i_] == '_'))
                ++i_;
            t = {Token::Word, s_.mid(start, i_ - start)};
            return true;
        }
        t = {Token::Symbol, QString(c)};
        ++i_;
        return true;
    }

private:
    const QString &s_;
    int i_ = 0;
};

class Parser {
public:
    explicit Parser(const QString &s) : lex_(s) {}

    std::optional<Query> parse(QString &error)
    {
        if (!advance(error))
            return std::nullopt;
        Query q;
        if (isName() && cur_.text.compare("Movies", Qt::CaseInsensitive) == 0) {
            if (!advance(error) || !atEnd(error))
                return std::nullopt;
            return q;
        }
        if (!keyword("select", error) || !selectList(error) || !keyword("from", error) || !table(error))
            return std::nullopt;
        if (isKeyword("where")) {
            if (!advance(error))
                return std::nullopt;
            q.filterFields.clear();
            if (!condition(q, error))
                return std::nullopt;
            while (isKeyword("or"))
                if (!advance(error) || !condition(q, error))
                    return std::nullopt;
        }
        if (isKeyword("order")) {
            if (!advance(error) || !keyword("by", error))
                return std::nullopt;
            auto f = field(error);
            if (!f)
                return std::nullopt;
            q.orderBy = *f;
            if (isKeyword("desc")) {
                q.descending = true;
                if (!advance(error))
                    return std::nullopt;
            } else if (isKeyword("asc")) {
                if (!advance(error))
                    return std::nullopt;
            }
        }
        if (cur_.kind == Token::Symbol && cur_.text == ";" && !advance(error))
            return std::nullopt;
        if (!atEnd(error))
            return std::nullopt;
        return q;
    }

private:
    bool advance(QString &error) { return lex_.next(cur_, error); }
    bool isName() const { return cur_.kind == Token::Word || cur_.kind == Token::Bracketed; }
    bool isKeyword(const char *k) const
    {
        return cur_.kind == Token::Word && cur_.text.compare(QLatin1String(k), Qt::CaseInsensitive) == 0;
    }
    std::nullopt_t fail(QString &error, const QString &why)
    {
        error = why;
        return std::nullopt;
    }
    bool refuse(QString &error, const QString &why)
    {
        error = why;
        return false;
    }
    bool atEnd(QString &error)
    {
        if (cur_.kind == Token::End)
            return true;
        error = QString("unexpected \"%1\"").arg(cur_.text);
        return false;
    }
    bool keyword(const char *k, QString &error)
    {
        if (!isKeyword(k)) {
            error = QString("\"%1\" expected").arg(QLatin1String(k));
            return false;
        }
        return advance(error);
    }
    bool table(QString &error)
    {
        if (!isName() || cur_.text.compare("Movies", Qt::CaseInsensitive) != 0) {
            error = "the only table is Movies";
            return false;
        }
        return advance(error);
    }
    // A field, possibly written as Movies.Field.
    std::optional<Field> field(QString &error)
    {
        if (!isName()) {
            error = "a field name expected";
            return std::nullopt;
        }
        QString name = cur_.text;
        if (!advance(error))
            return std::nullopt;
        if (cur_.kind == Token::Symbol && cur_.text == ".") {
            if (name.compare("Movies", Qt::CaseInsensitive) != 0) {
                error = "the only table is Movies";
                return std::nullopt;
            }
            if (!advance(error))
                return std::nullopt;
            if (!isName()) {
                error = "a field name expected";
                return std::nullopt;
            }
            name = cur_.text;
            if (!advance(error))
                return std::nullopt;
        }
        auto f = fieldByName(name);
        if (!f)
            error = QString("Movies has no field \"%1\"").arg(name);
        return f;
    }
    // One comparison of a field with a text; the ones joined by Or must compare with
    // the same text the same way, since the statement has one parameter.
    bool condition(Query &q, QString &error)
    {
        auto f = field(error);
        if (!f)
            return false;
        Query::Filter kind;
        if (cur_.kind == Token::Symbol && cur_.text == "=")
            kind = Query::Filter::Equals;
        else if (isKeyword("like"))
            kind = Query::Filter::Like;
        else
            return refuse(error, "only = and Like can compare a field");
        if (!advance(error))
            return false;
        if (cur_.kind != Token::String)
            return refuse(error, "a field can only be compared with a text in quotes");
        if (!q.filterFields.empty() && (kind != q.filter || cur_.text != q.filterText))
            return refuse(error, "fields joined by Or must be compared with the same text the same way");
        q.filter = kind;
        q.filterText = cur_.text;
        q.filterFields.push_back(*f);
        return advance(error);
    }
    bool selectList(QString &error)
    {
        if (cur_.kind == Token::Symbol && cur_.text == "*")
            return advance(error);
        for (;;) {
            if (!field(error))
                return false;
            if (!(cur_.kind == Token::Symbol && cur_.text == ","))
                return true;
            if (!advance(error))
                return false;
        }
    }

    Lexer lex_;
    Token cur_{Token::End, {}};
};

} // namespace

platform::Failure Query::parse(const QString &text, Query &query)
{
    QString why;
    auto q = Parser(text).parse(why);
    if (!q)
        return {platform::ErrorKind::Other, why};
    query = std::move(*q);
    return {};
}

QByteArray Query::sql() const
{
    QByteArray s = "SELECT rowid";
    for (const QString &name : fieldNames())
        s += ", \"" + name.toLatin1() + '"';
    s += " FROM Movies";
    if (filter != Filter::None) {
        for (size_t i = 0; i < filterFields.size(); ++i) {
            const QByteArray column = '"' + fieldName(filterFields[i]).toLatin1() + '"';
            s += i ? " OR " : " WHERE ";
            s += filter == Filter::Equals ? "jet_equal(" + column + ", ?1)" : "jet_like(?1, " + column + ")";
        }
    }
    return s + " ORDER BY rowid";
}

QString quoteLiteral(const QString &text)
{
    QString q = text;
    q.replace('\'', "''");
    return '\'' + q + '\'';
}

} // namespace catalogue
