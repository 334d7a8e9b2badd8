// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/textfold.h"

#include <QChar>
#include <QList>

namespace catalogue {
namespace {

// Case-folded and without marks: "É" and "é" fold to "e". Latin letters up to U+024F
// come from a table built once; other scripts are case-folded only.
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
        return t;
    }();
    return c < tableEnd ? table[c] : QChar::toCaseFolded(c);
}

} // namespace

std::u32string foldCase(const QString &text)
{
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text.toUcs4())
        out.push_back(foldChar(c));
    return out;
}

void foldCaseUtf8(std::string_view s, std::u32string &out)
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
        out.push_back(foldChar(c));
        i += len;
    }
}

} // namespace catalogue
