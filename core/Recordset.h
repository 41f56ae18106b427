#pragma once

#include "core/Field.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

struct sqlite3;
struct sqlite3_stmt;

namespace core {

class Database;

// A forward-only cursor over the rows of one SELECT, positioned on the first row when opened.
// Engine failures throw DbError.
class Recordset
{
public:
    Recordset() = default;
    Recordset(Recordset&& other) noexcept;
    Recordset& operator=(Recordset&& other) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;
    ~Recordset();

    bool IsOpen() const { return m_stmt != nullptr; }

    // True when there is no current row. (EOF itself is a C macro.)
    bool Eof() const;
    // Back to the first row; re-runs the query only when the cursor has moved past it.
    void MoveFirst();
    void MoveNext();

    int FieldCount() const { return static_cast<int>(m_names.size()); }
    QString FieldName(int i) const { return m_names.value(i); }
    Field Fields(int i) const;
    Field Fields(const QString& name) const;
    // Column i's text as the engine holds it, in UTF-8 and without a copy; empty for Null. Valid until
    // the cursor moves. For text columns: numbers come in the engine's form, not the locale's.
    QByteArrayView Utf8(int i) const;
    bool IsNull(int i) const;

    void Close();

private:
    friend class Database;
    // Takes the statement over without stepping: Database steps to the first row once the recordset owns
    // it, so that a failing first row still finalizes the statement.
    Recordset(sqlite3* db, sqlite3_stmt* stmt, QString sql);
    void step();
    [[noreturn]] void fail(const char* what) const;
    void requireRow(const char* operation) const;
    void requireColumn(int i) const;

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
    QStringList m_names;
    bool m_eof = true;
    long long m_row = 0;
};

// Closes a recordset slot when the operation that opened it ends, however it ends.
class SlotGuard
{
public:
    explicit SlotGuard(Recordset& slot) : m_slot(slot) {}
    ~SlotGuard() { m_slot.Close(); }
    SlotGuard(const SlotGuard&) = delete;
    SlotGuard& operator=(const SlotGuard&) = delete;

private:
    Recordset& m_slot;
};

} // namespace core
