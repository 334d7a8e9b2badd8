// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QString>

namespace platform {

// The encodings a text file may come in.
enum class TextEncoding { Utf8, Utf8WithBom, Utf16LE, Utf16BE, Windows1252 };

// Turns the bytes of a text file into UTF-8: a byte order mark picks UTF-8 or UTF-16,
// bytes that are valid UTF-8 stay as they are, anything else is read as Windows-1252.
// Refuses text holding NUL characters or many control characters: that is not a text
// file (WrongFormat), and UTF-16 with an odd number of bytes or a lone surrogate (Unreadable).
// A failure says why in a sentence without the file.
// Text read as Windows-1252 tells in notUtf8Line the line of its first byte that is
// not UTF-8.
Failure decodeText(QByteArray bytes, QByteArray &utf8, TextEncoding &encoding, int *notUtf8Line = nullptr);

bool isValidUtf8(QByteArrayView bytes);
// Where the first byte that is not part of valid UTF-8 is; -1 when there is none.
qsizetype invalidUtf8At(QByteArrayView bytes);
// An even number of bytes, every surrogate in a pair.
bool isValidUtf16(QByteArrayView bytes, bool littleEndian);
// The sentence decodeText() and the XML readers give for text that is not UTF-16.
QString notUtf16Text();
QString encodingName(TextEncoding encoding);

} // namespace platform
