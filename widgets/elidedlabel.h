// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QStringList>

namespace widgets {

// A tooltip for a long plain text: broken into lines of at most lineChars characters
// (at blanks where possible), so that it reads like a paragraph instead of running off
// the screen. A text longer than a screenful ends with an ellipsis.
QString wrappedToolTip(const QString &text, int lineChars = 80);

// A label for a long plain text: the text wraps at the label's width, and when it has
// more lines than fit, the last line shown ends with an ellipsis and hovering shows the
// whole text as a wrapped tooltip. text() stays the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    // The lines as drawn.
    QStringList shownLines() const { return layOut().lines; }
    bool isCut() const { return layOut().cut; }
    // What hovering shows: the wrapped whole text when it is cut, else nothing.
    QString cutTextToolTip() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    struct Lines {
        QStringList lines;
        bool cut = false;
    };
    Lines layOut() const;
};

} // namespace widgets
