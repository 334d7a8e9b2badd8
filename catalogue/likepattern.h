// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace catalogue {

// A compiled pattern of the Like operator: "*" any run of characters, "?" any one
// character, "#" one digit, "[abc]", "[a-z]" and "[!abc]" one character of (or not
// of) a set. A "[" without a closing "]" stands for itself; "%" and "_" are ordinary
// characters. Matching ignores letter case and accents; a ligature matches its two
// letters ("ae" finds "æ") and is also one character ("?" or "[ß]" finds "ß").
class LikePattern {
public:
    explicit LikePattern(const QString &pattern);

    // The value folded with its ligatures kept (Ligatures::Keep).
    bool matches(const std::u32string &foldedValue) const;

private:
    struct Token {
        enum Kind { Literal, AnyOne, Digit, Set, Star } kind;
        char32_t ch = 0;
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges;
        bool accepts(char32_t c) const;
    };
    using Segment = std::vector<Token>;

    bool segmentMatchesAt(const Segment &seg, const std::u32string &v, size_t at) const;
    bool matchesSegments(const std::u32string &v) const;
    bool matchesWithLigatures(const std::u32string &v) const;

    // The pattern split at its stars: the first segment is anchored at the start,
    // the last at the end unless the pattern ends in a star.
    std::vector<Segment> segments_;
    bool leadingStar_ = false;
    bool trailingStar_ = false;
    // All the tokens in order, stars included, for values that hold a ligature.
    std::vector<Token> tokens_;
    // Whether a token ("?" or a set) may take a ligature whole; without one, a value's
    // ligatures can simply be split into their letters.
    bool takesOneCharacter_ = false;
};

} // namespace catalogue
