// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textdecode.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Windows-1252 differs from Latin-1 in 0x80..0x9F only; its five unused bytes read as
// the C1 controls of the same value, as Windows itself reads them.
constexpr char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// A text file has line ends and tabs, perhaps a page break, but hardly any other
// control character; binary data is full of them.
Failure looksLikeText(QByteArrayView utf8)
{
    if (utf8.contains('\0'))
        return {ErrorKind::WrongFormat, QStringLiteral("It holds NUL bytes: it is not a text file.")};
    const QByteArrayView head = utf8.first(std::min<qsizetype>(utf8.size(), 65536));
    const auto controls = std::count_if(head.begin(), head.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f';
    });
    if (controls * 100 > head.size())
        return {ErrorKind::WrongFormat, QStringLiteral("It does not look like a text file.")};
    return {};
}

} // namespace

bool isValidUtf8(QByteArrayView bytes) { return invalidUtf8At(bytes) < 0; }

qsizetype invalidUtf8At(QByteArrayView bytes)
{
    const auto *begin = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *p = begin;
    const auto *end = p + bytes.size();
    while (p < end) {
        // Skip plain ASCII eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        char32_t cp, min;
        if ((c & 0xE0) == 0xC0) {
            more = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return p - begin;
        }
        if (end - p <= more)
            return p - begin;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return p - begin;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return p - begin;
        p += more + 1;
    }
    return -1;
}

bool isValidUtf16(QByteArrayView bytes, bool littleEndian)
{
    if (bytes.size() % 2 != 0)
        return false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    auto unit = [&](qsizetype i) {
        return littleEndian ? char16_t(p[2 * i] | p[2 * i + 1] << 8) : char16_t(p[2 * i] << 8 | p[2 * i + 1]);
    };
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = unit(i);
        if (u < 0xD800 || u > 0xDFFF)
            continue;
        // A high surrogate must be followed by a low one; a low one never stands first.
        if (u > 0xDBFF || i + 1 == units || unit(i + 1) < 0xDC00 || unit(i + 1) > 0xDFFF)
            return false;
        ++i;
    }
    return true;
}

QString notUtf16Text() { return QStringLiteral("It starts as UTF-16 text but holds bytes that are not UTF-16."); }

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 with byte order mark");
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    }
    return {};
}

Failure decodeText(QByteArray bytes, QByteArray &utf8, TextEncoding &encoding, int *notUtf8Line)
{
    const bool le = bytes.startsWith("\xFF\xFE"), be = bytes.startsWith("\xFE\xFF");
    if (le || be) {
        encoding = le ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
        QStringDecoder decoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(QByteArrayView(bytes).sliced(2));
        // The decoder lets a lone surrogate through, to be written as "?" later.
        if (decoder.hasError() || !isValidUtf16(QByteArrayView(bytes).sliced(2), le))
            return {ErrorKind::Unreadable, notUtf16Text()};
        bytes.clear();
        utf8 = text.toUtf8();
    } else if (bytes.startsWith("\xEF\xBB\xBF") && isValidUtf8(QByteArrayView(bytes).sliced(3))) {
        encoding = TextEncoding::Utf8WithBom;
        bytes.remove(0, 3);
        utf8 = std::move(bytes);
    } else if (isValidUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        utf8 = std::move(bytes);
    } else {
        // A byte order mark before bytes that are not UTF-8 after all marks nothing.
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        if (notUtf8Line)
            *notUtf8Line = 1 + int(QByteArrayView(bytes).first(invalidUtf8At(bytes)).count('\n'));
        encoding = TextEncoding::Windows1252;
        utf8 = fromWindows1252(bytes).toUtf8();
        bytes.clear();
    }
    return looksLikeText(utf8);
}

} // namespace platform
