// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/markup.h"

#include <QChar>
#include <QHash>
#include <limits>

namespace exchange {

namespace {

enum class TagKind { Inline, LineBreak, Block };

// The tags of the HTML that reviews and plots carry, and what each does to the text.
const QHash<QByteArray, TagKind> &knownTags()
{
    static const QHash<QByteArray, TagKind> tags = [] {
        QHash<QByteArray, TagKind> t;
        for (const char *name :
             {"a",   "abbr", "b", "big", "cite",  "code", "del",    "dfn",    "em",  "font", "i",  "img", "ins",
              "kbd", "mark", "q", "s",   "small", "span", "strike", "strong", "sub", "sup",  "tt", "u"})
            t.insert(name, TagKind::Inline);
        for (const char *name : {"br", "li", "dt", "dd", "tr"})
            t.insert(name, TagKind::LineBreak);
        for (const char *name : {"p", "div", "blockquote", "h1", "h2", "h3", "h4", "h5", "h6", "ul", "ol", "dl", "pre",
                                 "center", "hr", "table"})
            t.insert(name, TagKind::Block);
        return t;
    }();
    return tags;
}

const QHash<QByteArray, char32_t> &namedEntities()
{
    static const QHash<QByteArray, char32_t> entities = [] {
        QHash<QByteArray, char32_t> e{
            {"amp", '&'},      {"lt", '<'},       {"gt", '>'},       {"quot", '"'},      {"apos", '\''},
            {"nbsp", 0xA0},    {"ndash", 0x2013}, {"mdash", 0x2014}, {"hellip", 0x2026}, {"lsquo", 0x2018},
            {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"laquo", 0xAB},    {"raquo", 0xBB},
            {"copy", 0xA9},    {"reg", 0xAE},     {"trade", 0x2122}, {"deg", 0xB0},      {"middot", 0xB7},
            {"bull", 0x2022},  {"szlig", 0xDF},   {"iexcl", 0xA1},   {"iquest", 0xBF},   {"euro", 0x20AC},
            {"pound", 0xA3},   {"frac12", 0xBD},  {"times", 0xD7},   {"shy", 0xAD}};
        // Accented letters, small and capital: "eacute", "Eacute", "ouml", "Ouml" ...
        const struct {
            const char *name;
            char32_t small;
        } letters[] = {{"aacute", 0xE1}, {"agrave", 0xE0}, {"acirc", 0xE2},  {"auml", 0xE4},   {"atilde", 0xE3},
                       {"aring", 0xE5},  {"aelig", 0xE6},  {"ccedil", 0xE7}, {"eacute", 0xE9}, {"egrave", 0xE8},
                       {"ecirc", 0xEA},  {"euml", 0xEB},   {"iacute", 0xED}, {"igrave", 0xEC}, {"icirc", 0xEE},
                       {"iuml", 0xEF},   {"ntilde", 0xF1}, {"oacute", 0xF3}, {"ograve", 0xF2}, {"ocirc", 0xF4},
                       {"ouml", 0xF6},   {"otilde", 0xF5}, {"oslash", 0xF8}, {"uacute", 0xFA}, {"ugrave", 0xF9},
                       {"ucirc", 0xFB},  {"uuml", 0xFC},   {"yacute", 0xFD}};
        for (const auto &l : letters) {
            e.insert(l.name, l.small);
            QByteArray capital(l.name);
            capital[0] = char(capital[0] - 'a' + 'A');
            e.insert(capital, l.small - 0x20);
        }
        return e;
    }();
    return entities;
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads the text once, left to right. Searches for the end of a tag never go back over
// text already searched, so that "<a <a <a ..." costs no more than its length.
class Scanner {
public:
    explicit Scanner(QByteArrayView text) : t_(text) {}

    // The tag starting at i, if it is a known one: its kind and the place after its ">".
    bool tagAt(qsizetype i, TagKind &kind, qsizetype &end)
    {
        qsizetype j = i + 1;
        if (j < t_.size() && t_[j] == '/')
            ++j;
        const qsizetype nameStart = j;
        while (j < t_.size() && j - nameStart <= 10 && (isAsciiLetter(t_[j]) || (j > nameStart && isAsciiDigit(t_[j]))))
            ++j;
        if (j == nameStart || j >= t_.size() || !(t_[j] == '>' || t_[j] == '/' || isBlank(t_[j])))
            return false;
        const auto it = knownTags().constFind(t_.sliced(nameStart, j - nameStart).toByteArray().toLower());
        if (it == knownTags().constEnd())
            return false;
        const qsizetype gt = next(nextGt_, '>', j);
        if (gt == NotFound || next(nextLt_, '<', j) < gt)
            return false;
        kind = *it;
        end = gt + 1;
        return true;
    }

    // The entity starting at i, if it is a known or numeric one: its character and the place after its ";".
    bool entityAt(qsizetype i, char32_t &c, qsizetype &end) const
    {
        qsizetype j = i + 1;
        if (j < t_.size() && t_[j] == '#') {
            ++j;
            const bool hex = j < t_.size() && (t_[j] == 'x' || t_[j] == 'X');
            j += hex;
            const qsizetype digits = j;
            char32_t value = 0;
            while (j < t_.size() && j - digits < 8) {
                const char d = t_[j];
                int v;
                if (isAsciiDigit(d))
                    v = d - '0';
                else if (hex && ((d >= 'a' && d <= 'f') || (d >= 'A' && d <= 'F')))
                    v = (d | 0x20) - 'a' + 10;
                else
                    break;
                value = value * (hex ? 16 : 10) + char32_t(v);
                ++j;
            }
            if (j == digits || j >= t_.size() || t_[j] != ';' || value == 0 || value > 0x10FFFF ||
                (value >= 0xD800 && value <= 0xDFFF))
                return false;
            c = value;
            end = j + 1;
            return true;
        }
        while (j < t_.size() && j - i <= 10 && (isAsciiLetter(t_[j]) || isAsciiDigit(t_[j])))
            ++j;
        if (j >= t_.size() || t_[j] != ';')
            return false;
        const auto it = namedEntities().constFind(t_.sliced(i + 1, j - i - 1).toByteArray());
        if (it == namedEntities().constEnd())
            return false;
        c = *it;
        end = j + 1;
        return true;
    }

private:
    static constexpr qsizetype NotFound = std::numeric_limits<qsizetype>::max();

    // The next place of c at or after from, or NotFound. The places asked for only grow,
    // so each byte is searched at most once.
    qsizetype next(qsizetype &cache, char c, qsizetype from) const
    {
        if (cache != NotFound && cache < from) {
            cache = t_.sliced(from).indexOf(c);
            cache = cache < 0 ? NotFound : cache + from;
        }
        return cache;
    }

    QByteArrayView t_;
    qsizetype nextGt_ = -1, nextLt_ = -1;
};

void appendUtf8(QByteArray &out, char32_t c)
{
    const QString s = QString::fromUcs4(&c, 1);
    out.append(s.toUtf8());
}

// Ends the text so far with a line break (or a blank line), never more than one blank line.
void appendBreak(QByteArray &out, int newlines)
{
    while (!out.isEmpty() && (out.back() == ' ' || out.back() == '\t'))
        out.chop(1);
    if (out.isEmpty())
        return;
    int have = 0;
    for (qsizetype k = out.size() - 1; k >= 0 && out[k] == '\n'; --k)
        ++have;
    const int want = newlines == 1 ? std::min(have + 1, 2) : 2;
    out.append(QByteArray(std::max(0, want - have), '\n'));
}

} // namespace

bool holdsMarkup(QByteArrayView utf8)
{
    Scanner s(utf8);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        TagKind kind;
        char32_t c;
        qsizetype end;
        if ((utf8[i] == '<' && s.tagAt(i, kind, end)) || (utf8[i] == '&' && s.entityAt(i, c, end)))
            return true;
    }
    return false;
}

QByteArray textFromMarkup(QByteArrayView utf8)
{
    QByteArray out;
    out.reserve(utf8.size());
    Scanner s(utf8);
    bool afterBreak = false;
    qsizetype i = 0;
    while (i < utf8.size()) {
        const char ch = utf8[i];
        TagKind kind;
        char32_t c;
        qsizetype end;
        if (ch == '<' && s.tagAt(i, kind, end)) {
            if (kind != TagKind::Inline) {
                appendBreak(out, kind == TagKind::Block ? 2 : 1);
                afterBreak = true;
            }
            i = end;
            continue;
        }
        if (afterBreak && isBlank(ch)) {
            ++i;
            continue;
        }
        afterBreak = false;
        if (ch == '&' && s.entityAt(i, c, end)) {
            appendUtf8(out, c);
            i = end;
            continue;
        }
        if (ch == '\r') {
            ++i;
            continue;
        }
        if (ch == '\n') {
            appendBreak(out, 1);
            ++i;
            continue;
        }
        out.append(ch);
        ++i;
    }
    while (!out.isEmpty() && isBlank(out.back()))
        out.chop(1);
    return out;
}

} // namespace exchange
