#include "core/Recordset.h"

#include "core/Database.h"
#include "core/Error.h"

#include <sqlcipher/sqlite3.h>

#include <utility>

namespace core {

namespace {

// Read through a view, a column is named as the query writes it, parentheses included; read from a table,
// as the table names it. "distinct(codice_sezione)" is named codice_sezione either way.
QString columnName(sqlite3_stmt* stmt, int i)
{
    const QString name = QString::fromUtf8(sqlite3_column_name(stmt, i));
    if (!name.startsWith(u'(') || !name.endsWith(u')'))
        return name;
    const char* origin = sqlite3_column_origin_name(stmt, i);
    if (origin && name.mid(1, name.size() - 2).trimmed().compare(QString::fromUtf8(origin), Qt::CaseInsensitive) == 0)
        return QString::fromUtf8(origin);
    return name;
}

} // namespace

Recordset::Recordset(sqlite3* db, sqlite3_stmt* stmt, QString sql) : m_db(db), m_stmt(stmt), m_sql(std::move(sql))
{
    const int columns = sqlite3_column_count(m_stmt);
    m_names.reserve(columns);
    for (int i = 0; i < columns; ++i)
        m_names << columnName(m_stmt, i);
}

Recordset::Recordset(Recordset&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_sql(std::move(other.m_sql)), m_names(std::move(other.m_names)), m_eof(std::exchange(other.m_eof, true)),
      m_row(std::exchange(other.m_row, 0))
{
}

Recordset& Recordset::operator=(Recordset&& other) noexcept
{
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_sql = std::move(other.m_sql);
        m_names = std::move(other.m_names);
        m_eof = std::exchange(other.m_eof, true);
        m_row = std::exchange(other.m_row, 0);
    }
    return *this;
}

Recordset::~Recordset()
{
    Close();
}

bool Recordset::Eof() const
{
    return m_eof;
}

void Recordset::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_eof = false;
    } else if (rc == SQLITE_DONE) {
        m_eof = true;
    } else {
        m_eof = true;
        fail("lettura dei dati");
    }
}

void Recordset::MoveFirst()
{
    if (!m_stmt)
        throw DbError(QStringLiteral("Operazione non valida: il recordset è chiuso."));
    if (m_row == 0 && !m_eof)
        return;
    sqlite3_reset(m_stmt);
    m_row = 0;
    step();
    requireRow("MoveFirst");
}

void Recordset::MoveNext()
{
    requireRow("MoveNext");
    ++m_row;
    step();
}

void Recordset::requireRow(const char* operation) const
{
    if (!m_stmt)
        throw DbError(QStringLiteral("Operazione non valida: il recordset è chiuso."));
    if (m_eof)
        throw DbError(
            QStringLiteral("Nessun record corrente (%1) per la query: %2").arg(QString::fromLatin1(operation), m_sql));
}

Field Recordset::Fields(int i) const
{
    requireColumn(i);
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return Field();
    case SQLITE_INTEGER:
        return Field::integer(sqlite3_column_int64(m_stmt, i));
    case SQLITE_FLOAT:
        return Field::real(sqlite3_column_double(m_stmt, i));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
        return Field::text(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, i)));
    }
    }
}

QByteArrayView Recordset::Utf8(int i) const
{
    requireColumn(i);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
    return text ? QByteArrayView(text, sqlite3_column_bytes(m_stmt, i)) : QByteArrayView();
}

bool Recordset::IsNull(int i) const
{
    requireColumn(i);
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

void Recordset::requireColumn(int i) const
{
    requireRow("Fields");
    if (i < 0 || i >= m_names.size())
        throw DbError(QStringLiteral("Colonna %1 inesistente nella query: %2").arg(i).arg(m_sql));
}

Field Recordset::Fields(const QString& name) const
{
    // Column names are matched without regard to case: "ANNO_PREZZARIO" is read as written in any file.
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return Fields(i);
    }
    throw DbError(QStringLiteral("Colonna «%1» inesistente nella query: %2").arg(name, m_sql));
}

void Recordset::Close()
{
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    m_db = nullptr;
    m_eof = true;
    m_row = 0;
}

void Recordset::fail(const char* what) const
{
    throw DbError(Database::describeFailure(
        m_db, QStringLiteral("Errore del database durante la %1").arg(QString::fromLatin1(what)), m_sql));
}

} // namespace core
