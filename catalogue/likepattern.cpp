// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/likepattern.h"

#include "catalogue/textfold.h"

#include <algorithm>

namespace catalogue {

bool LikePattern::Token::accepts(char32_t c) const
{
    switch (kind) {
    case Literal:
        return c == ch;
    case AnyOne:
    case Star:
        return true;
    case Digit:
        return c >= U'0' && c <= U'9';
    case Set:
        for (const auto &[lo, hi] : ranges)
            if (c >= lo && c <= hi)
                return !negated;
        return negated;
    }
    return false;
}

LikePattern::LikePattern(const QString &pattern)
{
    const std::u32string p = foldCase(pattern, Ligatures::Keep);
    Segment current;
    bool sawStar = false;
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (c == U'*') {
            if (segments_.empty() && current.empty() && !sawStar)
                leadingStar_ = true;
            if (!current.empty() || !sawStar)
                segments_.push_back(std::move(current));
            current.clear();
            sawStar = true;
            tokens_.push_back({Token::Star, 0, false, {}});
            continue;
        }
        Token t{Token::Literal, 0, false, {}};
        if (c == U'?') {
            t.kind = Token::AnyOne;
        } else if (c == U'#') {
            t.kind = Token::Digit;
        } else if (c == U'[') {
            const size_t close = p.find(U']', i + 1);
            if (close == std::u32string::npos) {
                t.ch = c; // unmatched bracket stands for itself
            } else {
                size_t j = i + 1;
                t.kind = Token::Set;
                if (j < close && p[j] == U'!') {
                    t.negated = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    if (j + 2 < close && p[j + 1] == U'-') {
                        t.ranges.emplace_back(p[j], p[j + 2]);
                        j += 2;
                    } else {
                        t.ranges.emplace_back(p[j], p[j]);
                    }
                }
                i = close;
                if (t.ranges.empty() && !t.negated)
                    continue; // "[]" matches the empty text: nothing to consume
            }
        } else if (const char *letters = ligatureLetters(c)) {
            t.ch = char32_t(letters[0]);
            current.push_back(t);
            tokens_.push_back(t);
            t.ch = char32_t(letters[1]);
        } else {
            t.ch = c;
        }
        takesOneCharacter_ = takesOneCharacter_ || t.kind == Token::AnyOne || t.kind == Token::Set;
        tokens_.push_back(t);
        current.push_back(std::move(t));
    }
    trailingStar_ = sawStar && current.empty();
    if (!trailingStar_ || segments_.empty())
        segments_.push_back(std::move(current));
    // With a leading star the first stored segment is the empty text before it.
    if (leadingStar_ && !segments_.empty() && segments_.front().empty())
        segments_.erase(segments_.begin());
}

bool LikePattern::segmentMatchesAt(const Segment &seg, const std::u32string &v, size_t at) const
{
    if (at + seg.size() > v.size())
        return false;
    for (size_t k = 0; k < seg.size(); ++k)
        if (!seg[k].accepts(v[at + k]))
            return false;
    return true;
}

// Over the value with its ligatures split, where a ligature may also be taken whole
// by one "?" or set: whether tokens from t on match the letters from i on, for every
// t and i, from the last token back.
bool LikePattern::matchesWithLigatures(const std::u32string &value) const
{
    std::u32string v;
    std::vector<char32_t> ligatureAt; // the ligature starting at each split letter, or 0
    v.reserve(value.size() + 8);
    for (char32_t c : value) {
        if (const char *letters = ligatureLetters(c)) {
            ligatureAt.push_back(c);
            ligatureAt.push_back(0);
            v.push_back(char32_t(letters[0]));
            v.push_back(char32_t(letters[1]));
        } else {
            ligatureAt.push_back(0);
            v.push_back(c);
        }
    }
    const size_t n = v.size();
    std::vector<char> next(n + 1, 0), here(n + 1, 0);
    next[n] = 1;
    for (size_t t = tokens_.size(); t-- > 0;) {
        const Token &tok = tokens_[t];
        here[n] = tok.kind == Token::Star && next[n];
        for (size_t i = n; i-- > 0;) {
            if (tok.kind == Token::Star) {
                here[i] = next[i] || here[i + 1];
                continue;
            }
            const bool one = tok.accepts(v[i]) && next[i + 1];
            const bool whole = ligatureAt[i] && (tok.kind == Token::AnyOne || tok.kind == Token::Set) &&
                               tok.accepts(ligatureAt[i]) && next[i + 2];
            here[i] = one || whole;
        }
        std::swap(here, next);
    }
    return next[0];
}

bool LikePattern::matches(const std::u32string &v) const
{
    const auto isLigature = [](char32_t c) { return c >= 0xDF && ligatureLetters(c); };
    if (std::none_of(v.begin(), v.end(), isLigature))
        return matchesSegments(v);
    if (takesOneCharacter_)
        return matchesWithLigatures(v);
    thread_local std::u32string split;
    split.clear();
    for (char32_t c : v) {
        if (const char *letters = isLigature(c) ? ligatureLetters(c) : nullptr) {
            split.push_back(char32_t(letters[0]));
            split.push_back(char32_t(letters[1]));
        } else {
            split.push_back(c);
        }
    }
    return matchesSegments(split);
}

bool LikePattern::matchesSegments(const std::u32string &v) const
{
    const bool anyStar = leadingStar_ || trailingStar_ || segments_.size() > 1;
    if (!anyStar)
        return segments_.empty() ? v.empty() : segments_[0].size() == v.size() && segmentMatchesAt(segments_[0], v, 0);

    size_t first = 0, last = segments_.size();
    size_t pos = 0, end = v.size();
    if (!leadingStar_ && first < last) {
        if (!segmentMatchesAt(segments_[first], v, 0))
            return false;
        pos = segments_[first].size();
        ++first;
    }
    if (!trailingStar_ && first < last) {
        const Segment &tail = segments_[last - 1];
        if (tail.size() > end - pos || !segmentMatchesAt(tail, v, end - tail.size()))
            return false;
        end -= tail.size();
        --last;
    }
    // Each middle segment at its leftmost place leaves the most room for the rest.
    for (size_t s = first; s < last; ++s) {
        const Segment &seg = segments_[s];
        bool found = false;
        while (pos + seg.size() <= end) {
            if (segmentMatchesAt(seg, v, pos)) {
                found = true;
                break;
            }
            ++pos;
        }
        if (!found)
            return false;
        pos += seg.size();
    }
    return pos <= end;
}

} // namespace catalogue
