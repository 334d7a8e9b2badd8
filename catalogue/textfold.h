// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace catalogue {

// Case-folded code points of a text without accents, so that comparisons ignore letter case and marks for
// every script ("É" equals "é" and "e"), not only for ASCII.
std::u32string foldCase(const QString &text);
// Same, straight from UTF-8 (as SQLite hands text over); appends to out.
void foldCaseUtf8(std::string_view utf8, std::u32string &out);

} // namespace catalogue
