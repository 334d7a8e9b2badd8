// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets.h"

#include "catalogue/schema.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

using catalogue::Field;

namespace testsupport {

QWidget *topLevel(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

void closeWindowsBut(const QString &keptName)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() != keptName)
            w->close();
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

void enter(QWidget *d, const catalogue::Movie &m)
{
    control<QLineEdit>(d, "Text1")->setText(m[Field::Title]);
    control<QPlainTextEdit>(d, "Text2")->setPlainText(m[Field::Description]);
    control<QComboBox>(d, "cboCat")->setEditText(m[Field::Category]);
    control<QPlainTextEdit>(d, "Text3")->setPlainText(m[Field::Actors]);
    control<QPlainTextEdit>(d, "Text4")->setPlainText(m[Field::Review]);
    control<QComboBox>(d, "cboRating")->setEditText(m[Field::Rating]);
    control<QLineEdit>(d, "Text5")->setText(m[Field::Year]);
    control<QLineEdit>(d, "Text6")->setText(m[Field::Time]);
}

catalogue::Movie shown(QWidget *d)
{
    return catalogue::makeMovie(
        control<QLineEdit>(d, "Text1")->text(), control<QPlainTextEdit>(d, "Text2")->toPlainText(),
        control<QComboBox>(d, "cboCat")->currentText(), control<QPlainTextEdit>(d, "Text3")->toPlainText(),
        control<QPlainTextEdit>(d, "Text4")->toPlainText(), control<QComboBox>(d, "cboRating")->currentText(),
        control<QLineEdit>(d, "Text5")->text(), control<QLineEdit>(d, "Text6")->text());
}

} // namespace testsupport
