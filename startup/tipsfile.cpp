// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/tipsfile.h"

#include <QStringDecoder>

namespace startup {

namespace {

QString decodeTips(const QByteArray &bytes)
{
    const auto marked = QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        QStringDecoder decoder(*marked);
        return decoder(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder ansi("Windows-1252");
    if (!ansi.isValid())
        return QString::fromLatin1(bytes);
    return ansi(bytes);
}

QStringList splitTips(const QString &text)
{
    QStringList tips;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size && tips.size() < MaxTips) {
        qsizetype end = start;
        while (end < size && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        tips.append(text.mid(start, qMin<qsizetype>(end - start, MaxTipLength)));
        if (end < size && text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return tips;
}

} // namespace

QStringList readTips(const QByteArray &bytes) { return splitTips(decodeTips(bytes)); }

} // namespace startup
