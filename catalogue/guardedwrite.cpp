// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/guardedwrite.h"

namespace catalogue {

Movie StoredRow::movie() const
{
    Movie m;
    for (int i = 0; i < FieldCount; ++i) {
        m.values[size_t(i)] = QString::fromUtf8(bytes[size_t(i)]);
        m.isNull[size_t(i)] = isNull[size_t(i)];
    }
    return m;
}

QByteArray rowGuard(int firstParam)
{
    // Values are compared as text, the way they were read.
    QByteArray s = "rowid = ?" + QByteArray::number(firstParam);
    for (int i = 0; i < FieldCount; ++i)
        s += " AND CAST(\"" + fieldName(fieldAt(i)).toLatin1() + "\" AS TEXT) IS ?" +
             QByteArray::number(firstParam + 1 + i);
    return s;
}

QByteArray guardedUpdateSql(const Database &db, const std::vector<int> &fields)
{
    QByteArray s = "UPDATE Movies SET ";
    for (size_t k = 0; k < fields.size(); ++k)
        s += (k ? ", \"" : "\"") + fieldName(fieldAt(fields[k])).toLatin1() +
             "\" = " + db.writtenValue(fieldAt(fields[k]), int(k) + 1);
    if (fields.empty())
        s += "\"Title\" = \"Title\"";
    return s + " WHERE " + rowGuard(int(fields.size()) + 1);
}

void bindRowGuard(sqlite3_stmt *st, int firstParam, const StoredRow &row)
{
    sqlite3_bind_int64(st, firstParam, row.rowId);
    for (int i = 0; i < FieldCount; ++i) {
        const QByteArray &text = row.bytes[size_t(i)];
        if (row.isNull[size_t(i)])
            sqlite3_bind_null(st, firstParam + 1 + i);
        else
            sqlite3_bind_text64(st, firstParam + 1 + i, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                SQLITE_UTF8);
    }
}

platform::Failure readStoredRows(const Database &db, std::vector<StoredRow> &rows)
{
    StatementPtr st;
    if (auto error = db.prepare(("SELECT rowid, " + columnList() + " FROM Movies ORDER BY Title, rowid").constData(), st))
        return error;
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        StoredRow row;
        row.rowId = sqlite3_column_int64(st.get(), 0);
        for (int i = 0; i < FieldCount; ++i) {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st.get(), i + 1));
            row.bytes[size_t(i)] = QByteArray(p ? p : "", sqlite3_column_bytes(st.get(), i + 1));
            row.isNull[size_t(i)] = sqlite3_column_type(st.get(), i + 1) == SQLITE_NULL;
        }
        rows.push_back(std::move(row));
    }
    return rc == SQLITE_DONE ? platform::Failure{} : db.errorFor(rc);
}

} // namespace catalogue
