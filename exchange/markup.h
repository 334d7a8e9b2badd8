// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace exchange {

// True when the text holds a tag or an entity of HTML that this program knows
// ("<i>", "</p>", "<br />", "<a href=..>", "&amp;", "&#8217;"): a lone "<" or "&"
// in ordinary text is not markup.
bool holdsMarkup(QByteArrayView utf8);

// The text of HTML: known tags dropped, entities decoded, paragraphs and line breaks
// kept as line breaks; anything that is not a known tag or entity stays as it is.
// Runs in time linear in the length of the text.
QByteArray textFromMarkup(QByteArrayView utf8);

} // namespace exchange
