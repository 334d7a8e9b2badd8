// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/elidedlabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

namespace widgets {

namespace {

const QChar Ellipsis(0x2026);

// About a screenful of text at eighty characters a line.
constexpr int MaxToolTipChars = 3200;

void appendWrapped(const QString &paragraph, int lineChars, QStringList &out)
{
    QString line;
    for (QString word : paragraph.split(QLatin1Char(' '))) {
        if (!line.isEmpty() && line.size() + 1 + word.size() <= lineChars) {
            line += QLatin1Char(' ') + word;
            continue;
        }
        if (!line.isEmpty())
            out << line;
        // A word longer than a line is broken where the line ends.
        while (word.size() > lineChars) {
            out << word.left(lineChars);
            word = word.mid(lineChars);
        }
        line = word;
    }
    out << line;
}

} // namespace

QString wrappedToolTip(const QString &text, int lineChars)
{
    QString t = text.left(MaxToolTipChars);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    for (const QString &paragraph : t.split(QLatin1Char('\n')))
        appendWrapped(paragraph, std::max(1, lineChars), lines);
    if (text.size() > MaxToolTipChars)
        lines.last() += Ellipsis;
    // Rich text, so that the tooltip keeps these line breaks and adds none of its own.
    return QLatin1String("<p style='white-space:pre'>") + lines.join(QLatin1Char('\n')).toHtmlEscaped() +
           QLatin1String("</p>");
}

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
}

ElidedLabel::Lines ElidedLabel::layOut() const
{
    Lines out;
    QString t = text();
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QFontMetrics fm(font());
    const int width = std::max(1, area.width());
    const int maxLines = std::max(1, area.height() / std::max(1, fm.lineSpacing()));

    QTextLayout layout(t, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lastStart = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (out.lines.size() == maxLines) {
            out.cut = true;
            break;
        }
        lastStart = line.textStart();
        out.lines << t.mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator);
    }
    layout.endLayout();
    if (out.cut) {
        // The last line shown takes as much of the rest as fits, then the ellipsis.
        QString rest = t.mid(lastStart, 4 * width);
        rest.replace(QChar::LineSeparator, QLatin1Char(' '));
        QString last = fm.elidedText(rest, Qt::ElideRight, width);
        if (!last.endsWith(Ellipsis)) {
            last = out.lines.last().trimmed();
            while (!last.isEmpty() && fm.horizontalAdvance(last + Ellipsis) > width)
                last.chop(1);
            last += Ellipsis;
        }
        out.lines.last() = last;
    }
    return out;
}

QString ElidedLabel::cutTextToolTip() const { return isCut() ? wrappedToolTip(text()) : QString(); }

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QFontMetrics fm(font());
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    int y = area.top() + fm.ascent();
    for (const QString &line : layOut().lines) {
        painter.drawText(area.left(), y, line);
        y += fm.lineSpacing();
    }
}

bool ElidedLabel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const QString tip = cutTextToolTip();
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), tip, this);
        }
        return true;
    }
    return QLabel::event(event);
}

} // namespace widgets
