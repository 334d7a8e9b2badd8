// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/boundcontrol.h"
#include "catalogue/recordcursor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace widgets {

// Binds a widget to one field of a cursor: it shows the field of the current row and,
// when editable, hands its text back on save.
void bindLabel(catalogue::RecordCursor &cursor, catalogue::Field f, QLabel *label);
void bindLineEdit(catalogue::RecordCursor &cursor, catalogue::Field f, QLineEdit *edit);
void bindTextEdit(catalogue::RecordCursor &cursor, catalogue::Field f, QPlainTextEdit *edit);
void bindComboBox(catalogue::RecordCursor &cursor, catalogue::Field f, QComboBox *combo);

} // namespace widgets
