// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace catalogue {

// A control that shows one field of a cursor's current row and, when it is editable,
// gives its text back when the cursor saves the row.
class BoundControl {
public:
    virtual ~BoundControl() = default;
    virtual void showValue(const QString &value) = 0;
    virtual bool isEditable() const { return false; }
    virtual QString editedValue() const { return {}; }
    // False once the control is gone; the cursor then forgets it.
    virtual bool isAlive() const { return true; }
};

} // namespace catalogue
