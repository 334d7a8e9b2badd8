// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/elidedlabel.h"

#include <QTest>
#include <QTextDocument>

using widgets::ElidedLabel;

namespace {

const QChar Ellipsis(0x2026);

// What a tooltip shows, line by line.
QStringList toolTipLines(const QString &tip)
{
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText().split('\n');
}

} // namespace

class TestElidedLabel : public QObject {
    Q_OBJECT

private slots:
    // A text that does not fit ends in an ellipsis where it is cut and shows whole,
    // wrapped to a readable width, as its tooltip; one that fits shows no tooltip.
    void cutTextsEndInAnEllipsisAndShowWholeAsATooltip()
    {
        ElidedLabel label;
        label.resize(240, 4 * QFontMetrics(label.font()).lineSpacing() + 2);
        const int width = label.contentsRect().width();

        for (const QString &fits : {QString("Short."), QString("One\nTwo\r\nThree"), QString()}) {
            label.setText(fits);
            QVERIFY(!label.isCut());
            QVERIFY(label.cutTextToolTip().isEmpty());
            QCOMPARE(label.shownLines().join('\n'), QString(fits).replace("\r\n", "\n"));
        }

        const QString words = QString("several words ").repeated(60) + "end";
        const QString paragraphs = "Line one\nLine two\nLine three\nLine four\nLine five";
        const QString unbroken(2000, 'z');
        for (const QString &text : {words, paragraphs, unbroken}) {
            label.setText(text);
            QCOMPARE(label.text(), text);
            QVERIFY(label.isCut());
            const QStringList lines = label.shownLines();
            QCOMPARE(lines.size(), 4);
            QVERIFY2(lines.last().endsWith(Ellipsis), qPrintable(lines.last()));
            for (const QString &line : lines)
                QVERIFY2(label.fontMetrics().horizontalAdvance(line) <= width, qPrintable(line));

            const QStringList tip = toolTipLines(label.cutTextToolTip());
            for (const QString &line : tip)
                QVERIFY2(line.size() <= 80, qPrintable(line));
            if (text == paragraphs)
                QCOMPARE(tip.join('\n'), text);
            else
                QCOMPARE(tip.join(text == words ? " " : ""), text);
        }
        // Four lines of text fit in four lines.
        label.setText("Line one\nLine two\nLine three\nLine four");
        QVERIFY(!label.isCut());
    }

    void veryLongTooltipsStopAtAScreenful()
    {
        const QString text = QString("x ").repeated(100000) + "<b>&";
        const QStringList tip = toolTipLines(widgets::wrappedToolTip(text));
        QVERIFY(tip.size() < 60);
        QVERIFY(tip.last().endsWith(Ellipsis));
        // Markup in a text is shown as it is, never read as markup.
        QCOMPARE(toolTipLines(widgets::wrappedToolTip("<b>bold</b> & more")), QStringList{"<b>bold</b> & more"});
    }
};

QTEST_MAIN(TestElidedLabel)
#include "tst_elidedlabel.moc"
