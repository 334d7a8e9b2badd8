// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace catalogue {

// Whether a folded ligature ("æ", "œ", "ß", "ĳ") becomes the two letters it joins or stays one character.
enum class Ligatures { Split, Keep };

// Case-folded code points of a text without accents, so that comparisons ignore letter case and marks for
// every script ("É" equals "é" and "e"), not only for ASCII. Ligatures become their letters ("Æ" is "ae").
std::u32string foldCase(const QString &text, Ligatures ligatures = Ligatures::Split);
// Same, straight from UTF-8 (as SQLite hands text over); appends to out.
void foldCaseUtf8(std::string_view utf8, std::u32string &out, Ligatures ligatures = Ligatures::Split);
// The two letters a folded ligature stands for ("ss" for "ß"), or nullptr for any other character.
const char *ligatureLetters(char32_t folded);

} // namespace catalogue
