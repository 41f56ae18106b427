#include "core/Database.h"

#include "core/Error.h"
#include "core/Dialect.h"

#include <QCryptographicHash>
#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <utility>

namespace core {

namespace {

// The smallest page any of our files has.
constexpr qint64 kPageSize = 4096;
// Enough for the whole of a list of realistic size; a larger file is read through it rather than held.
constexpr qint64 kMaxPageCacheBytes = qint64(64) << 20;

QString cannotOpen(const QString& path, const QString& cause)
{
    return QStringLiteral("Impossibile aprire il database «%1»: %2").arg(QDir::toNativeSeparators(path), cause);
}

bool exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// How a file is keyed: the key material handed to the engine and the size of the encrypted pages.
struct Keying
{
    QByteArray key; // a password, or a raw key "x'<64 hex digits>'"; empty for a plain file
    int pageSize = 4096;
};

// The files the builder writes. The key is 32 bytes taken from the password, handed to the engine as they
// are: the engine derives nothing from them, where a password costs a key derivation (about 30 ms) before
// the first page can be read, and the password is the program's own, so stretching it protects nothing.
// Each page is decrypted and authenticated as a whole: large pages make fewer, cheaper reads of the
// tables a search walks (a first search decrypts them all), and the files are read, never written.
Keying currentKeying(const QByteArray& password)
{
    return {"x'" + QCryptographicHash::hash(password, QCryptographicHash::Sha256).toHex() + "'", 65536};
}

// Files of earlier builders: keyed through the password itself, 4 KiB pages.
Keying earlierKeying(const QByteArray& password)
{
    return {password, 4096};
}

// Opens and keys a connection; returns nullptr and leaves the SQLite message in 'error' on failure.
sqlite3* openKeyed(const QString& path, const Keying& keying, bool write, QString* error)
{
    sqlite3* db = nullptr;
    const int flags = write ? (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) : SQLITE_OPEN_READONLY;
    // One connection, used by one thread: the engine's locks on every call would only cost time (about a
    // tenth of a whole-list search). Memory statistics take a global lock on every allocation too.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); // refused, harmlessly, once the engine has started
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        *error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_extended_result_codes(db, 1);
    // An empty key means a plain file: SQLCipher then encrypts nothing.
    const QByteArray& key = keying.key;
    const QByteArray pageSize = "PRAGMA cipher_page_size = " + QByteArray::number(keying.pageSize);
    if ((!key.isEmpty() && (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK ||
                            !exec(db, pageSize.constData()))) ||
        !exec(db, "PRAGMA temp_store = MEMORY")) {
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        return nullptr;
    }
    return db;
}

// Tells apart the ways a file can refuse the key, so that the user reads the real cause.
QString diagnose(const QString& path, const QString& engineMessage)
{
    QFile file(path);
    if (!QFileInfo(path).isReadable())
        return QStringLiteral("non si hanno i permessi per leggere il file.");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("il file non si può aprire in lettura (%1).").arg(file.errorString());
    const qint64 size = file.size();
    const QByteArray head = file.read(16);
    file.close();

    if (size == 0)
        return QStringLiteral("il file è vuoto.");
    if (head == QByteArray("SQLite format 3\0", 16))
        return QStringLiteral("il file è un database non protetto da password, non il database del Prezzario.");
    if (size < kPageSize || size % kPageSize != 0)
        return QStringLiteral("il file non è un database del Prezzario oppure è incompleto (dimensione %1 byte).")
            .arg(size);

    // The engine cannot tell a wrong key from a damaged first page: both fail its authentication.
    return QStringLiteral("la password non è corretta oppure il file è danneggiato o non è un database del Prezzario "
                          "(%1).")
        .arg(engineMessage);
}

} // namespace

Database::Database(Database&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path))
{
}

Database& Database::operator=(Database&& other) noexcept
{
    if (this != &other) {
        Close();
        m_db = std::exchange(other.m_db, nullptr);
        m_path = std::move(other.m_path);
    }
    return *this;
}

Database::~Database()
{
    Close();
}

QString Database::describeFailure(sqlite3* db, const QString& what, const QString& sql)
{
    const char* file = sqlite3_db_filename(db, "main");
    const QString path = QDir::toNativeSeparators(QString::fromUtf8(file ? file : ""));
    switch (sqlite3_extended_errcode(db) & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("Il file del prezzario «%1» è danneggiato: una sua parte non si può leggere.\n"
                              "Reinstallare il programma per ripristinare il file.")
            .arg(path);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return QStringLiteral("Impossibile leggere il file del prezzario «%1»: il file non è più raggiungibile "
                              "(il disco o il supporto che lo contiene è stato rimosso o non risponde).")
            .arg(path);
    case SQLITE_NOMEM:
        return QStringLiteral("Memoria insufficiente per leggere il file del prezzario «%1».").arg(path);
    default:
        break;
    }
    // A file that opens but lacks a table or a column the program reads was not made by prezzario-build, or was
    // changed since: the user needs its name and what is missing, not the query.
    const QString engine = QString::fromUtf8(sqlite3_errmsg(db));
    for (const auto& [prefix, kind] : {std::pair{QStringLiteral("no such table: "), QStringLiteral("la tabella")},
                                       std::pair{QStringLiteral("no such column: "), QStringLiteral("la colonna")}}) {
        if (!engine.startsWith(prefix))
            continue;
        const QString missing = engine.mid(prefix.size()).section(u'.', -1);
        return QStringLiteral(
                   "Il file del prezzario «%1» è incompleto: manca %2 «%3».\n"
                   "Il file non è stato scritto da prezzario-build, o è stato modificato dopo: costruirlo di "
                   "nuovo o reinstallare il programma.")
            .arg(path, kind, missing);
    }
    return QStringLiteral("%1: %2\nQuery: %3").arg(what, engine, sql);
}

QString Database::passwordFromConnect(const QString& connect)
{
    for (const QString& part : connect.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(u"pwd", Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1);
    }
    return {};
}

Database Database::OpenDatabase(const QString& path, const QString& connect, Mode mode)
{
    const bool write = mode == Mode::CreateWrite;
    const QFileInfo info(path);
    if (!write) {
        if (!info.exists())
            throw DbError(cannotOpen(path, QStringLiteral("il file non esiste.")));
        if (!info.isFile())
            throw DbError(cannotOpen(path, QStringLiteral("il percorso non è un file.")));
        if (info.size() == 0)
            throw DbError(cannotOpen(path, QStringLiteral("il file è vuoto.")));
        if (!info.isReadable())
            throw DbError(cannotOpen(path, QStringLiteral("non si hanno i permessi per leggere il file.")));
    }

    const QByteArray password = passwordFromConnect(connect).toUtf8();
    // A file of an earlier builder refuses the current keying at the probe, and opens with its own.
    QList<Keying> keyings{earlierKeying(password)};
    if (!password.isEmpty())
        keyings.prepend(currentKeying(password));
    if (write)
        keyings.resize(1);
    sqlite3* db = nullptr;
    qint64 pageSize = kPageSize;
    QString error;
    for (const Keying& keying : keyings) {
        pageSize = keying.pageSize;
        db = openKeyed(path, keying, write, &error);
        if (!db)
            throw DbError(cannotOpen(path, write ? error : diagnose(path, error)));
        // The probe reads the first page: a wrong key or a damaged header fails here, not in a later query.
        if (exec(db, "SELECT count(*) FROM sqlite_master"))
            break;
        error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        db = nullptr;
    }
    if (!db)
        throw DbError(cannotOpen(path, diagnose(path, error)));

    // Read-only, the connection keeps its shared lock from the first read on: no lock and unlock system
    // calls, and no check that the file changed, around every query (a report runs one per row).
    bool settled = write ? exec(db, "PRAGMA journal_mode = DELETE") : exec(db, "PRAGMA query_only = 1");
    if (settled && !write) {
        // Pages are decrypted on every read; a cache that can hold the whole file (up to a bound) means
        // each page is decrypted once per run instead of once per full scan. Past the bound, memory stays
        // the bound's, whatever the size of the file.
        // Counted in pages, not bytes: a byte budget also pays for each page's bookkeeping, so a cache the
        // size of the file holds only most of its pages, and a full scan then misses on every page.
        const qint64 cachePages = std::min<qint64>(info.size(), kMaxPageCacheBytes) / pageSize + 16;
        settled = exec(db, QByteArray("PRAGMA cache_size = " + QByteArray::number(cachePages)).constData());
    }
    if (!settled || registerDialect(db) != SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        throw DbError(cannotOpen(path, error));
    }
    return Database(db, path);
}

Recordset Database::OpenRecordset(const QString& sql) const
{
    if (!m_db)
        throw DbError(QStringLiteral("Il database non è aperto."));
    sqlite3_stmt* stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), static_cast<int>(text.size()), &stmt, nullptr) != SQLITE_OK) {
        const QString message = describeFailure(m_db, QStringLiteral("Errore nella query"), sql);
        sqlite3_finalize(stmt);
        throw DbError(message);
    }
    if (!stmt)
        throw DbError(QStringLiteral("La query è vuota."));
    Recordset recordset(m_db, stmt, sql);
    recordset.step();
    return recordset;
}

void Database::Execute(const QString& sql) const
{
    if (!m_db)
        throw DbError(QStringLiteral("Il database non è aperto."));
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        throw DbError(QStringLiteral("Errore nell'istruzione: %1\nIstruzione: %2").arg(text, sql));
    }
}

Database::ReadTransaction::ReadTransaction(const Database& db)
{
    if (db.m_db && sqlite3_get_autocommit(db.m_db) && exec(db.m_db, "BEGIN"))
        m_db = db.m_db;
}

Database::ReadTransaction::~ReadTransaction()
{
    // Nothing was written: ending it only gives the lock back.
    if (m_db && !sqlite3_get_autocommit(m_db))
        exec(m_db, "ROLLBACK");
}

void Database::Close()
{
    if (m_db) {
        // close_v2 defers the close until any recordset still open is finalized.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

} // namespace core
