// Search window figures on the 1,000,000-row demo list, beside the same three text queries run by
// SQLite's own upper()/LIKE on an unencrypted copy (the plain engine a user could pick instead).
// Also writes the three searched columns as CSV, so that `rg -ci WORD` can be timed over the same text.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include "BenchData.h"
#include "Database.h"
#include "Dialect.h"
#include "PriceList.h"
#include "ReportList.h"
#include "SearchWindow.h"

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <cstdio>
#include <functional>
#include <stdexcept>

namespace {

constexpr qint64 kRows = 1'000'000;

QString dataPath(const QString& name)
{
    return benchdata::path(name);
}

QString encryptedList()
{
    return benchdata::demoList(kRows);
}

[[noreturn]] void fail(sqlite3* db, const char* what)
{
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

void exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db, sql);
}

// Only mid: the expression indexes of the table name it, and nothing else of the dialect may change
// what the plain engine's upper() and LIKE do.
void registerMid(sqlite3* db)
{
    const auto mid = [](sqlite3_context* context, int argc, sqlite3_value** argv) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const std::string_view utf8(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(argv[0])));
        const std::string result =
            core::dialect::mid(utf8, sqlite3_value_int64(argv[1]), argc == 3 ? sqlite3_value_int64(argv[2]) : -1);
        sqlite3_result_text64(context, result.data(), result.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    };
    for (const int arguments : {2, 3}) {
        if (sqlite3_create_function_v2(db, "mid", arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, mid, nullptr,
                                       nullptr, nullptr) != SQLITE_OK)
            fail(db, "mid");
    }
}

// The unencrypted copy, made once with sqlcipher_export.
QString plainCopy()
{
    const QString path = dataPath(QStringLiteral("Prezzario-%1-plain.db").arg(kRows));
    if (QFile::exists(path))
        return path;
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    std::fprintf(stderr, "exporting an unencrypted copy...\n");
    sqlite3* db = nullptr;
    // CREATE: the attached copy is a new file, and ATTACH opens it with the flags of this connection.
    if (sqlite3_open_v2(QFile::encodeName(encryptedList()).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        fail(db, "open");
    const QByteArray key = core::kDbPassword.toUtf8();
    sqlite3_key(db, key.constData(), static_cast<int>(key.size()));
    exec(db, "PRAGMA cipher_page_size = 4096");
    registerMid(db);
    const QByteArray attach = "ATTACH DATABASE '" + QFile::encodeName(part) + "' AS plaintext KEY ''";
    exec(db, attach.constData());
    exec(db, "SELECT sqlcipher_export('plaintext')");
    exec(db, "DETACH DATABASE plaintext");
    sqlite3_close_v2(db);
    if (!QFile::rename(part, path))
        throw std::runtime_error("cannot move the plain copy into place");
    return path;
}

sqlite3* plainConnection()
{
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        if (sqlite3_open_v2(QFile::encodeName(plainCopy()).constData(), &opened, SQLITE_OPEN_READONLY, nullptr) !=
            SQLITE_OK)
            fail(opened, "open plain copy");
        return opened;
    }();
    return db;
}

sqlite3_stmt* preparePlain(const QByteArray& sql)
{
    sqlite3* db = plainConnection();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK) {
        if (QByteArray(sqlite3_errmsg(db)).contains("no such function: mid")) {
            registerMid(db);
            return preparePlain(sql);
        }
        fail(db, sql.constData());
    }
    return stmt;
}

// Runs a query and reads every column of every row as text.
qint64 walkPlain(const QByteArray& sql)
{
    sqlite3_stmt* stmt = preparePlain(sql);
    qint64 rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

// Runs the three queries once untimed (the page cache warm, as the operating system keeps the plain
// engine's file), then as the benchmark's iterations; reports rows and each query's mean time.
void timeQueries(benchmark::State& bench, const QStringList& queries,
                 const std::function<qint64(const QString&)>& runQuery)
{
    const char* names[] = {"capitoli_ms", "articoli_ms", "subarticoli_ms"};
    qint64 total[3] = {};
    const auto runAll = [&](bool timed) {
        qint64 rows = 0;
        for (int q = 0; q < 3; ++q) {
            QElapsedTimer timer;
            timer.start();
            rows += runQuery(queries[q]);
            if (timed)
                total[q] += timer.nsecsElapsed();
        }
        return rows;
    };
    qint64 rows = runAll(false);
    for (auto _ : bench)
        rows = runAll(true);
    bench.counters["rows"] = static_cast<double>(rows);
    for (int q = 0; q < 3; ++q)
        bench.counters[names[q]] = static_cast<double>(total[q]) / 1e6 / static_cast<double>(bench.iterations());
}

// The search window over the 1,000,000-row list, with the benchmark's own checks.
struct Session : benchdata::SearchWindow
{
    Session() : SearchWindow(encryptedList()) {}

    // A click on a row: the selection moves, the list reports the click, the window repaints.
    // Returns the nanoseconds spent in the click handler alone.
    qint64 clickRow(const char* listName, qsizetype row)
    {
        auto* list = control<ui::ReportList>(listName);
        list->Select(ui::ReportList::keyFor(row));
        QElapsedTimer handler;
        handler.start();
        emit list->ItemClick();
        const qint64 elapsed = handler.nsecsElapsed();
        QApplication::processEvents();
        return elapsed;
    }

    // False, with the warning as the benchmark's error, when the window showed one.
    static bool quiet(benchmark::State& bench)
    {
        const QString warning = takeWarning();
        if (warning.isEmpty())
            return true;
        bench.SkipWithError(warning.toUtf8().constData());
        return false;
    }

    void count(benchmark::State& bench) const
    {
        bench.counters["capitoli"] = static_cast<double>(window->lstCapitoli().Count());
        bench.counters["articoli"] = static_cast<double>(window->lstArticoli().Count());
        bench.counters["subarticoli"] = static_cast<double>(window->lstSubarticoli().Count());
    }
};

Session& session()
{
    static Session* opened = new Session;
    return *opened;
}

// End to end: the click on "Esegui Ricerca" over the three levels of the whole list, until the lists
// show their rows.
void BM_SearchWindowText(benchmark::State& bench, const char* word)
{
    Session& s = session();
    s.prepareTextSearch(QString::fromUtf8(word), true, true, true);
    // The first run of the process decrypts every page it reads; later runs find them in the engine's cache.
    QElapsedTimer first;
    first.start();
    s.runSearch();
    bench.counters["first_run_ms"] = static_cast<double>(first.elapsed());
    if (!Session::quiet(bench))
        return;
    for (auto _ : bench)
        s.runSearch();
    if (Session::quiet(bench))
        s.count(bench);
}
BENCHMARK_CAPTURE(BM_SearchWindowText, di, "di")->Unit(benchmark::kMillisecond)->MinTime(5);
BENCHMARK_CAPTURE(BM_SearchWindowText, calcestruzzo, "calcestruzzo")->Unit(benchmark::kMillisecond)->MinTime(5);

// The same three queries through the engine layer alone, without the window.
void BM_EncryptedEngineText(benchmark::State& bench, const char* word)
{
    const core::Database& db = session().state.dbPrezzario;
    timeQueries(bench, benchdata::textSearchQueries(word, true), [&db](const QString& sql) {
        qint64 rows = 0;
        for (core::Recordset rs = db.OpenRecordset(sql); !rs.Eof(); rs.MoveNext()) {
            for (int i = 0; i < rs.FieldCount(); ++i)
                benchmark::DoNotOptimize(rs.Fields(i).Text());
            ++rows;
        }
        return rows;
    });
}
BENCHMARK_CAPTURE(BM_EncryptedEngineText, di, "di")->Unit(benchmark::kMillisecond)->MinTime(5);

// The plain engine: SQLite's own upper() and LIKE '%WORD%' on the unencrypted copy.
void BM_PlainEngineText(benchmark::State& bench, const char* word)
{
    benchdata::searchedColumns(kRows);
    timeQueries(bench, benchdata::textSearchQueries(word, false), [](const QString& sql) { return walkPlain(sql.toUtf8()); });
}
BENCHMARK_CAPTURE(BM_PlainEngineText, di, "di")->Unit(benchmark::kMillisecond)->MinTime(5);
BENCHMARK_CAPTURE(BM_PlainEngineText, calcestruzzo, "calcestruzzo")->Unit(benchmark::kMillisecond)->MinTime(5);

// A click on a row of one result list, as the user makes it: on a row in sight, so the list does not
// scroll. Cycles over the first rows, so that every click selects another row and rebuilds its list.
void clickRows(benchmark::State& bench, const char* word, bool capitoli, bool articoli, bool subarticoli,
               const char* listName)
{
    Session& s = session();
    s.prepareTextSearch(QString::fromUtf8(word), capitoli, articoli, subarticoli);
    s.runSearch();
    if (!Session::quiet(bench))
        return;
    const qsizetype rows = std::min<qsizetype>(s.control<ui::ReportList>(listName)->Count(), 4);
    if (rows < 2) {
        bench.SkipWithError("the search found too few rows to click");
        return;
    }
    qsizetype row = 0;
    qint64 handlerNs = 0;
    for (auto _ : bench) {
        row = (row + 1) % rows;
        handlerNs += s.clickRow(listName, row);
    }
    // The rest of each click is Qt repainting what changed.
    bench.counters["handler_us"] = static_cast<double>(handlerNs) / 1000.0 / static_cast<double>(bench.iterations());
    if (Session::quiet(bench))
        s.count(bench);
}

// Drill-down: an article row of an articles-only result lists its subarticles.
void BM_SearchWindowArticleClick(benchmark::State& bench)
{
    clickRows(bench, "calcestruzzo", false, true, false, "lstArticoli");
}
BENCHMARK(BM_SearchWindowArticleClick)->Unit(benchmark::kMicrosecond);

// The same in the longest list a click can be made in: every article of the list that holds "di".
void BM_SearchWindowArticleClickInWholeList(benchmark::State& bench)
{
    clickRows(bench, "di", false, true, false, "lstArticoli");
}
BENCHMARK(BM_SearchWindowArticleClickInWholeList)->Unit(benchmark::kMicrosecond);

// Drill-down: a chapter row of a chapters-only result lists the articles of the chapter.
void BM_SearchWindowChapterClick(benchmark::State& bench)
{
    clickRows(bench, "calcestruzzi", true, false, false, "lstCapitoli");
}
BENCHMARK(BM_SearchWindowChapterClick)->Unit(benchmark::kMicrosecond);

// Drill-up: a subarticle row of a subarticles-only result shows its parent article.
void BM_SearchWindowSubarticleClick(benchmark::State& bench)
{
    clickRows(bench, "spessore 12 cm", false, false, true, "lstSubarticoli");
}
BENCHMARK(BM_SearchWindowSubarticleClick)->Unit(benchmark::kMicrosecond);

} // namespace
