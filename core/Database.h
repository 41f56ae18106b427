#pragma once

#include "core/Recordset.h"

#include <QString>

struct sqlite3;

namespace core {

// The encrypted price-list database, opened through SQLCipher with the program's SQL dialect
// (mid, ucase and the like with *, ?, #, [..]) registered on the connection.
class Database
{
public:
    enum class Mode
    {
        ReadOnly,     // what the program uses: nothing is ever written next to the file
        CreateWrite,  // used only by the database builder
    };

    Database() = default;
    Database(Database&& other) noexcept;
    Database& operator=(Database&& other) noexcept;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Opens the file with the key taken from a connect string such as ";pwd=secret" and checks the
    // key at once. Throws DbError with an Italian message that names the file and the cause.
    static Database OpenDatabase(const QString& path, const QString& connect, Mode mode = Mode::ReadOnly);

    bool IsOpen() const { return m_db != nullptr; }
    const QString& path() const { return m_path; }

    Recordset OpenRecordset(const QString& sql) const;
    // Runs statements that return no rows (builder only).
    void Execute(const QString& sql) const;
    // Keeps one read transaction open, so that a run of many small queries takes the file's lock once.
    // Nested uses join the open one.
    class ReadTransaction
    {
    public:
        explicit ReadTransaction(const Database& db);
        ~ReadTransaction();
        ReadTransaction(const ReadTransaction&) = delete;
        ReadTransaction& operator=(const ReadTransaction&) = delete;

    private:
        sqlite3* m_db = nullptr; // null when it joined an open transaction
    };
    void Close();

    sqlite3* handle() const { return m_db; }

    // The connection's last failure as the user reads it. A damaged or unreadable file is said in plain
    // Italian, naming the file; a fault of the query itself keeps the engine's words and the query.
    static QString describeFailure(sqlite3* db, const QString& what, const QString& sql);

    // The value of "pwd" in a connect string (";pwd=qzkw" gives "qzkw").
    static QString passwordFromConnect(const QString& connect);

private:
    explicit Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

    sqlite3* m_db = nullptr;
    QString m_path;
};

} // namespace core
