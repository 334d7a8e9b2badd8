#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The encodings a text file may come in.
enum class TextEncoding { Utf8, Utf8WithBom, Utf16LE, Utf16BE, Windows1252 };

// Turns the bytes of a text file into UTF-8: a byte order mark picks UTF-8 or UTF-16,
// bytes that are valid UTF-8 stay as they are, anything else is read as Windows-1252.
// Refuses text holding NUL characters or many control characters: that is not a text
// file. On failure answers false and says why in error (a sentence without the file).
bool decodeText(QByteArray bytes, QByteArray &utf8, TextEncoding &encoding, QString &error);

bool isValidUtf8(QByteArrayView bytes);
QString encodingName(TextEncoding encoding);

} // namespace platform
