// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/textfold.h"

#include <QChar>
#include <QList>

namespace catalogue {
namespace {

// Case-folded and without marks: "É" and "é" fold to "e", and the letters with strokes
// to their base letter ("ø" to "o"). Latin letters up to U+024F come from a table built
// once; other scripts are case-folded only.
char32_t foldChar(char32_t c)
{
    constexpr char32_t tableEnd = 0x250;
    static const auto table = [] {
        std::u32string t(tableEnd, 0);
        for (char32_t i = 0; i < tableEnd; ++i) {
            char32_t f = QChar::toCaseFolded(i);
            while (f >= 0x80 && QChar::decompositionTag(f) == QChar::Canonical)
                f = QChar::decomposition(f).at(0).unicode();
            t[i] = f;
        }
        t[U'ø'] = U'o';
        t[U'Ø'] = U'o';
        t[U'đ'] = U'd';
        t[U'Đ'] = U'd';
        t[U'ł'] = U'l';
        t[U'Ł'] = U'l';
        return t;
    }();
    return c < tableEnd ? table[c] : QChar::toCaseFolded(c);
}

void appendFolded(char32_t c, std::u32string &out, Ligatures ligatures)
{
    const char32_t f = foldChar(c);
    const char *letters = ligatures == Ligatures::Split ? ligatureLetters(f) : nullptr;
    if (!letters)
        return out.push_back(f);
    out.push_back(char32_t(letters[0]));
    out.push_back(char32_t(letters[1]));
}

} // namespace

const char *ligatureLetters(char32_t folded)
{
    switch (folded) {
    case U'æ':
        return "ae";
    case U'œ':
        return "oe";
    case U'ß':
        return "ss";
    case U'ĳ':
        return "ij";
    default:
        return nullptr;
    }
}

std::u32string foldCase(const QString &text, Ligatures ligatures)
{
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4())
        appendFolded(c, out, ligatures);
    return out;
}

void foldCaseUtf8(std::string_view s, std::u32string &out, Ligatures ligatures)
{
    const auto n = s.size();
    for (size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t c;
        int len;
        if (b < 0x80) {
            out.push_back(b >= 'A' && b <= 'Z' ? b + 32 : b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            len = 4;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (i + len > n) {
            out.push_back(0xFFFD);
            break;
        }
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const auto cb = static_cast<unsigned char>(s[i + k]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        appendFolded(c, out, ligatures);
        i += len;
    }
}

} // namespace catalogue
