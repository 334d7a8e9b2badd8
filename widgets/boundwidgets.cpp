// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/boundwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>

namespace widgets {

namespace {

template <class W>
class Bound : public catalogue::BoundControl {
public:
    explicit Bound(W *w) : w_(w) {}
    bool isAlive() const override { return !w_.isNull(); }
    void showValue(const QString &value) override;
    bool isEditable() const override;
    QString editedValue() const override;

private:
    QPointer<W> w_;
};

// A label shows what fits in it; laying out a text of megabytes would stall every move.
template <>
void Bound<QLabel>::showValue(const QString &v)
{
    w_->setText(v.left(8000));
}
template <>
bool Bound<QLabel>::isEditable() const
{
    return false;
}
template <>
QString Bound<QLabel>::editedValue() const
{
    return w_->text();
}

template <>
void Bound<QLineEdit>::showValue(const QString &v)
{
    w_->setText(v);
    w_->setCursorPosition(0);
}
template <>
bool Bound<QLineEdit>::isEditable() const
{
    return true;
}
template <>
QString Bound<QLineEdit>::editedValue() const
{
    return w_->text();
}

// A text box's plain text is not the stored text: it turns no-break spaces into
// blanks and "\r\n" into "\n". An untouched box therefore gives back exactly the
// value it was shown; an edited one its raw text, with paragraph ends as "\n".
class BoundTextEdit : public catalogue::BoundControl {
public:
    explicit BoundTextEdit(QPlainTextEdit *w) : w_(w) {}
    bool isAlive() const override { return !w_.isNull(); }
    bool isEditable() const override { return true; }
    void showValue(const QString &v) override
    {
        w_->setPlainText(v);
        shown_ = v;
        shownRaw_ = w_->document()->toRawText();
    }
    QString editedValue() const override
    {
        QString raw = w_->document()->toRawText();
        if (raw == shownRaw_)
            return shown_;
        return raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    }

private:
    QPointer<QPlainTextEdit> w_;
    QString shown_;
    QString shownRaw_;
};

template <>
void Bound<QComboBox>::showValue(const QString &v)
{
    w_->setEditText(v);
}
template <>
bool Bound<QComboBox>::isEditable() const
{
    return true;
}
template <>
QString Bound<QComboBox>::editedValue() const
{
    return w_->currentText();
}

template <class W>
void bindWidget(catalogue::RecordCursor &cursor, catalogue::Field f, W *w)
{
    cursor.bind(f, std::make_unique<Bound<W>>(w));
}

} // namespace

void bindLabel(catalogue::RecordCursor &c, catalogue::Field f, QLabel *w) { bindWidget(c, f, w); }
void bindLineEdit(catalogue::RecordCursor &c, catalogue::Field f, QLineEdit *w) { bindWidget(c, f, w); }
void bindTextEdit(catalogue::RecordCursor &c, catalogue::Field f, QPlainTextEdit *w)
{
    c.bind(f, std::make_unique<BoundTextEdit>(w));
}
void bindComboBox(catalogue::RecordCursor &c, catalogue::Field f, QComboBox *w) { bindWidget(c, f, w); }

} // namespace widgets
