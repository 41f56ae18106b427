// The program's speed beside what it must stay near, each side measured in the same run and given as a ratio:
//  - start-up: process start until the main window is mapped on the X display, against a bare Qt main window
//    with a menu (needs DISPLAY: ./build.sh speed starts an Xvfb when there is none);
//  - the whole-list text search over three levels (core::runSearch) at 60,000 rows: the first run of a session
//    (a new process and connection: nothing in the engine's cache) against later runs, and later runs against
//    `rg -ci` over a CSV of the three searched columns;
//  - the same at 1,000,000 rows, whose file the engine's cache cannot hold: what a repeated search reads from
//    the file again, and the largest resident memory;
//  - Trova at 60,000 and 1,000,000 rows: building its index on first use, the largest resident memory, and one
//    keystroke's whole work (the words parsed, the items found, the cells of a window's worth of them made)
//    against `rg -ci` over a CSV of the same searched text.
// Each session runs in a child process of its own, so that one search's memory does not count for another.

#include "bench/BenchData.h"
#include "core/Database.h"
#include "core/Find.h"
#include "core/Numbers.h"
#include "core/PriceList.h"
#include "core/Search.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlcipher/sqlite3.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <vector>

extern char** environ;

namespace {

double nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double fileMb(const QString& path)
{
    return static_cast<double>(QFileInfo(path).size()) / (1 << 20);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The environment of this process with some variables replaced.
std::vector<std::string> environmentWith(const std::vector<std::string>& overrides)
{
    std::vector<std::string> result = overrides;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (std::none_of(overrides.begin(), overrides.end(),
                         [&](const std::string& o) { return o.compare(0, name.size() + 1, name + "=") == 0; }))
            result.push_back(variable);
    }
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

pid_t spawn(std::vector<std::string> argv, std::vector<std::string> env, bool quiet)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const std::vector<char*> args = pointers(argv);
    const std::vector<char*> vars = pointers(env);
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), vars.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
    return pid;
}

// Milliseconds from the start of a process until it maps its first top-level window (there is no window
// manager on the bench's display, so the root window sees the map itself).
class MapClock
{
public:
    MapClock()
    {
        m_x = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_x))
            throw std::runtime_error("no X display: set DISPLAY, or run ./build.sh speed");
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_x, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_x);
    }
    ~MapClock() { xcb_disconnect(m_x); }

    // The first window must carry 'title' at the start of its name: a message box instead (a list that
    // could not be opened) would time something else.
    double timeToMap(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     const std::string& title)
    {
        while (xcb_generic_event_t* stale = xcb_poll_for_event(m_x))
            std::free(stale);
        const double start = nowMs();
        const pid_t child = spawn(argv, env, true);
        double mapped = -1;
        xcb_window_t window = 0;
        pollfd fd{xcb_get_file_descriptor(m_x), POLLIN, 0};
        while (mapped < 0 && nowMs() - start < 20'000) {
            poll(&fd, 1, 100);
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_x)) {
                if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && mapped < 0) {
                    mapped = nowMs() - start;
                    window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                }
                std::free(event);
            }
        }
        const std::string name = mapped < 0 ? std::string() : windowName(window);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        if (mapped < 0)
            throw std::runtime_error(argv[0] + " showed no window in 20 s");
        if (name.compare(0, title.size(), title) != 0)
            throw std::runtime_error(argv[0] + " showed \"" + name + "\" instead of \"" + title + "...\"");
        return mapped;
    }

private:
    std::string windowName(xcb_window_t window)
    {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_x, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(m_x, cookie, nullptr);
        std::string name;
        if (reply) {
            name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        static_cast<size_t>(xcb_get_property_value_length(reply)));
            std::free(reply);
        }
        return name;
    }

    xcb_connection_t* m_x = nullptr;
};

void startUp(int rounds, const QString& configFolder)
{
    MapClock clock;
    const std::vector<std::string> env =
        environmentWith({"QT_QPA_PLATFORM=xcb", "LANG=it_IT.UTF-8", "LC_ALL=it_IT.UTF-8",
                         "XDG_CONFIG_HOME=" + configFolder.toStdString()});
    const std::vector<std::string> bare = {PREZZARIO_BARE_WINDOW};
    const std::vector<std::string> program = {PREZZARIO_APP_DIR "/prezzario"};
    // The first of each loads the libraries and fonts from disk; the user's machine has them cached too.
    const std::string bareTitle = "Finestra";
    const std::string programTitle = "Prezzario Regione Vallorsa";
    clock.timeToMap(bare, env, bareTitle);
    clock.timeToMap(program, env, programTitle);
    std::vector<double> bareMs;
    std::vector<double> programMs;
    for (int i = 0; i < rounds; ++i) {
        bareMs.push_back(clock.timeToMap(bare, env, bareTitle));
        programMs.push_back(clock.timeToMap(program, env, programTitle));
    }
    const double b = median(bareMs);
    const double p = median(programMs);
    std::printf("start-up, process start to window shown (median of %d)\n", rounds);
    std::printf("  bare Qt main window with a menu   %7.1f ms\n", b);
    std::printf("  prezzario, main window            %7.1f ms   %.2fx the bare window\n", p, p / b);
}

// One search in a child process: a new connection, the first run, then the repeats.
struct SearchFigures
{
    double firstMs = 0;
    double repeatedMs = 0;
    double maxRssMb = 0;
    QString rows;              // "chapters/articles/subarticles"
    double levelMs[3] = {};    // each level searched alone, repeated
    double firstReadMb = 0;    // read from the file (and so decrypted) by the first run
    double repeatedReadMb = 0; // and by a repeated run, when the engine's cache cannot hold what it reads
};

SearchFigures searchInChild(const QString& list, const char* word, int repeats)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--search"), list, QString::fromUtf8(word), QString::number(repeats)});
    if (!child.waitForFinished(1'800'000) || child.exitCode() != 0)
        throw std::runtime_error("the search child failed: " + child.readAllStandardError().toStdString());
    const QStringList fields = QString::fromUtf8(child.readAllStandardOutput()).simplified().split(u' ');
    if (fields.size() != 9)
        throw std::runtime_error("the search child gave no figures");
    SearchFigures f;
    f.firstMs = fields[0].toDouble();
    f.repeatedMs = fields[1].toDouble();
    f.maxRssMb = fields[2].toDouble();
    f.rows = fields[3];
    for (int level = 0; level < 3; ++level)
        f.levelMs[level] = fields[4 + level].toDouble();
    f.firstReadMb = fields[7].toDouble();
    f.repeatedReadMb = fields[8].toDouble();
    return f;
}

// The same search in several sessions, one after the other: the median first and repeated runs, and the
// largest memory of any of them.
SearchFigures searchInChildren(qint64 rows, const char* word, int repeats, int sessions)
{
    const QString list = benchdata::demoList(rows);
    // Untimed: the first process after a build reads the program's libraries and the list from disk.
    searchInChild(list, word, 1);
    std::vector<double> first;
    std::vector<double> repeated;
    std::vector<double> level[3];
    SearchFigures result;
    for (int i = 0; i < sessions; ++i) {
        const SearchFigures f = searchInChild(list, word, repeats);
        first.push_back(f.firstMs);
        repeated.push_back(f.repeatedMs);
        for (int q = 0; q < 3; ++q)
            level[q].push_back(f.levelMs[q]);
        result.maxRssMb = std::max(result.maxRssMb, f.maxRssMb);
        result.rows = f.rows;
        result.firstReadMb = f.firstReadMb;
        result.repeatedReadMb = f.repeatedReadMb;
    }
    result.firstMs = median(first);
    result.repeatedMs = median(repeated);
    for (int q = 0; q < 3; ++q)
        result.levelMs[q] = median(level[q]);
    return result;
}

// Megabytes the engine read from the file (each page decrypted as it is read) since the last call.
double readSinceLastMb(const core::PriceList& list, double pageBytes)
{
    int pages = 0;
    int highest = 0;
    sqlite3_db_status(list.database().handle(), SQLITE_DBSTATUS_CACHE_MISS, &pages, &highest, 1);
    return pages * pageBytes / (1 << 20);
}

// The child's side: the list opened as the program opens it, the first whole-list search over three levels
// timed, then the repeats; then each level alone. Prints the figures on one line.
int searchChild(char** argv)
{
    const core::PriceList list = core::PriceList::open(QString::fromLocal8Bit(argv[2]));
    list.year();
    const double pageBytes =
        core::Recordset(list.database().OpenRecordset(QStringLiteral("pragma page_size"))).Fields(0).toDouble();
    readSinceLastMb(list, pageBytes); // what opening read
    const QString word = QString::fromLocal8Bit(argv[3]);
    const int repeats = std::max(1, std::atoi(argv[4]));
    const auto timed = [&](const core::SearchRequest& request, core::SearchResults* kept) {
        QElapsedTimer timer;
        timer.start();
        core::SearchOutcome outcome = core::runSearch(list, request);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        if (outcome.problem)
            throw std::runtime_error(outcome.problem->message.toStdString());
        if (kept)
            *kept = std::move(outcome.results);
        return ms;
    };
    const core::SearchRequest all = benchdata::textSearch(list, word, {true, true, true});
    core::SearchResults results;
    const double first = timed(all, &results);
    const double firstRead = readSinceLastMb(list, pageBytes);
    std::vector<double> repeated;
    std::vector<double> repeatedRead;
    for (int i = 0; i < repeats; ++i) {
        repeated.push_back(timed(all, nullptr));
        repeatedRead.push_back(readSinceLastMb(list, pageBytes));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    double levelMs[3] = {};
    for (int level = 0; level < 3; ++level) {
        const core::SearchRequest alone = benchdata::textSearch(list, word, {level == 0, level == 1, level == 2});
        std::vector<double> runs;
        for (int i = 0; i < repeats; ++i)
            runs.push_back(timed(alone, nullptr));
        levelMs[level] = median(runs);
    }
    std::printf("%.2f %.2f %.1f %lld/%lld/%lld %.2f %.2f %.2f %.1f %.1f\n", first, median(repeated),
                static_cast<double>(usage.ru_maxrss) / 1024, static_cast<long long>(results.chapters.size()),
                static_cast<long long>(results.articles.size()), static_cast<long long>(results.subarticles.size()),
                levelMs[0], levelMs[1], levelMs[2], firstRead, median(repeatedRead));
    return 0;
}

double rgMs(const QString& csv, const char* word, int rounds)
{
    benchdata::rgCountMs(csv, word); // reads the file into the system's cache
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double ms = benchdata::rgCountMs(csv, word);
        if (ms < 0)
            throw std::runtime_error("rg did not run: install ripgrep");
        times.push_back(ms);
    }
    return median(times);
}

void printSearch(const char* word, const SearchFigures& f, double rg)
{
    std::printf("  \"%s\" (%s rows listed)\n", word, qPrintable(f.rows));
    std::printf("    first run %8.1f ms   %.2fx a repeated run\n", f.firstMs, f.firstMs / f.repeatedMs);
    std::printf("    repeated  %8.1f ms   %.2fx rg -ci (%.1f ms)\n", f.repeatedMs, f.repeatedMs / rg, rg);
    std::printf("      each level alone: chapters %.1f, articles %.1f, subarticles %.1f ms\n", f.levelMs[0],
                f.levelMs[1], f.levelMs[2]);
    std::printf("    read from the file and decrypted: first run %.1f MB, repeated run %.1f MB\n", f.firstReadMb,
                f.repeatedReadMb);
    std::printf("    max resident memory %.1f MB\n", f.maxRssMb);
}

void wholeListSearch(qint64 rows, int repeats, int sessions)
{
    const QString csv = benchdata::searchedColumns(rows);
    std::printf("whole-list search (core::runSearch), chapters + articles + subarticles, %lld rows, file %.0f MB\n"
                "(medians of %d sessions, each a new process; each session's repeated run is the median of %d)\n",
                static_cast<long long>(rows), fileMb(benchdata::demoList(rows)), sessions, repeats);
    for (const char* word : {"calcestruzzo", "di"})
        printSearch(word, searchInChildren(rows, word, repeats, sessions), rgMs(csv, word, repeats));
}

// What the list window shows of a result at once: the cells of these many rows are made with each keystroke.
constexpr size_t kShownRows = 60;

// One keystroke in Trova: the typed text parsed, the items found, the cells of the first rows made. Returns
// the number of items found.
size_t keystroke(const core::FindIndex& index, const QString& typed, qsizetype& madeChars)
{
    const std::optional<std::vector<std::int32_t>> items = index.find(core::parseFindText(typed), {});
    for (size_t i = 0; i < std::min(items->size(), kShownRows); ++i) {
        for (int column = 0; column < core::kFindColumns; ++column)
            madeChars += index.cell((*items)[i], core::FindColumn(column)).size();
    }
    return items->size();
}

// A chapter code of the shape "01.A03" that the list holds: that one when it does, else the chapter of the
// middle item.
QString chapterCode(const core::FindIndex& index)
{
    const QString wanted = QStringLiteral("01.A03");
    for (std::int32_t item = 0; item < index.size(); ++item) {
        if (index.code(item).startsWith(wanted + u'.'))
            return wanted;
    }
    return index.code(std::int32_t(index.size() / 2)).section(u'.', 0, 1);
}

// The child's side of Trova: the list opened as the program opens it, the index built and timed, then each
// typed text searched 'repeats' times. Prints "build-ms max-rss-mb", then "median-ms items typed" per text.
int trovaChild(char** argv)
{
    const core::PriceList list = core::PriceList::open(QString::fromLocal8Bit(argv[2]));
    list.year();
    const int repeats = std::max(1, std::atoi(argv[3]));
    QElapsedTimer timer;
    timer.start();
    const std::shared_ptr<const core::FindIndex> index = core::FindIndex::build(list);
    const double buildMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const QString typed[] = {QStringLiteral("calcestruzzo"), QStringLiteral("di"),
                             QStringLiteral("calcestruzzo armato"), chapterCode(*index)};
    std::vector<double> medians;
    std::vector<size_t> found;
    qsizetype madeChars = 0;
    for (const QString& text : typed) {
        std::vector<double> runs;
        size_t items = 0;
        for (int i = 0; i < repeats; ++i) {
            timer.restart();
            items = keystroke(*index, text, madeChars);
            runs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        medians.push_back(median(runs));
        found.push_back(items);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%.2f %.1f\n", buildMs, static_cast<double>(usage.ru_maxrss) / 1024);
    for (size_t i = 0; i < medians.size(); ++i)
        std::printf("%.3f %zu %s\n", medians[i], found[i], qPrintable(typed[i]));
    return 0;
}

struct TrovaFigures
{
    double buildMs = 0;
    double maxRssMb = 0;
    struct Typed
    {
        double ms = 0;
        qint64 items = 0;
        QString text;
    };
    std::vector<Typed> typed;
};

TrovaFigures trovaInChild(const QString& list, int repeats)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--trova"), list, QString::number(repeats)});
    if (!child.waitForFinished(1'800'000) || child.exitCode() != 0)
        throw std::runtime_error("the trova child failed: " + child.readAllStandardError().toStdString());
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.size() != 5)
        throw std::runtime_error("the trova child gave no figures");
    TrovaFigures f;
    const QStringList head = lines[0].split(u' ');
    f.buildMs = head.value(0).toDouble();
    f.maxRssMb = head.value(1).toDouble();
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split(u' ');
        f.typed.push_back({fields.value(0).toDouble(), fields.value(1).toLongLong(), fields.mid(2).join(u' ')});
    }
    return f;
}

const char* verdict(bool met)
{
    return met ? "met" : "MISSED";
}

// At 60,000 rows each keystroke within 3x rg and 30 ms, and the memory within 100 MB; beyond, within 3x rg.
void trova(qint64 rows, int repeats)
{
    const bool small = rows <= 60'000;
    const QString list = benchdata::demoList(rows);
    const QString csv = benchdata::findSearchedColumns(rows);
    trovaInChild(list, 1); // untimed: the first process after a build reads the libraries and the list from disk
    const TrovaFigures f = trovaInChild(list, repeats);
    std::printf("trova (core::FindIndex), %lld rows, file %.0f MB (a new process; each keystroke the median of %d)\n",
                static_cast<long long>(rows), fileMb(list), repeats);
    std::printf("  index built on first use   %8.1f ms\n", f.buildMs);
    if (small)
        std::printf("  max resident memory        %8.1f MB   target <= 100 MB: %s\n", f.maxRssMb,
                    verdict(f.maxRssMb <= 100));
    else
        std::printf("  max resident memory        %8.1f MB\n", f.maxRssMb);
    std::printf("  one keystroke: parseFindText + find + the %d cells of the first %zu items, beside rg -c -i over\n"
                "  sezione, capitolo, articolo, subarticolo, codice_totale (%.0f MB of CSV)\n",
                core::kFindColumns, kShownRows, fileMb(csv));
    if (f.typed.back().text != u"01.A03")
        std::printf("  (the list has no chapter 01.A03: its chapter %s is searched instead)\n",
                    qPrintable(f.typed.back().text));
    for (const TrovaFigures::Typed& typed : f.typed) {
        const QByteArray word = typed.text.section(u' ', 0, 0).toUtf8();
        const double rg = rgMs(csv, word.constData(), repeats);
        const double ratio = typed.ms / rg;
        std::printf("    %-22s %8lld items %8.2f ms   %5.2fx rg (%.2f ms)", qPrintable(u'"' + typed.text + u'"'),
                    static_cast<long long>(typed.items), typed.ms, ratio, rg);
        if (small)
            std::printf("   target <= 3x rg and <= 30 ms: %s", verdict(ratio <= 3 && typed.ms <= 30));
        else
            std::printf("   target <= 3x rg: %s", verdict(ratio <= 3));
        if (word.size() != typed.text.toUtf8().size())
            std::printf("   (rg given \"%s\")", word.constData());
        std::printf("\n");
    }
}

} // namespace

// With no argument, every figure; "startup", "search" (60,000 rows), "large" (1,000,000 rows) or "trova" (both)
// pick some.
int main(int argc, char** argv)
{
    try {
        if (argc == 5 && std::strcmp(argv[1], "--search") == 0)
            return searchChild(argv);
        if (argc == 4 && std::strcmp(argv[1], "--trova") == 0)
            return trovaChild(argv);
        QCoreApplication application(argc, argv);
        core::useNeutralNumericLocale();
        QStringList parts = application.arguments().mid(1);
        if (parts.isEmpty())
            parts = {QStringLiteral("startup"), QStringLiteral("search"), QStringLiteral("large"),
                     QStringLiteral("trova")};
        const QTemporaryDir config;
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
        if (parts.contains(QStringLiteral("startup")))
            startUp(15, config.path());
        if (parts.contains(QStringLiteral("search")))
            wholeListSearch(60'000, 10, 5);
        // Past the engine's cache bound: what a repeated search reads from the file again, and the memory.
        if (parts.contains(QStringLiteral("large")))
            wholeListSearch(1'000'000, 3, 1);
        if (parts.contains(QStringLiteral("trova"))) {
            trova(60'000, 21);
            trova(1'000'000, 7);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "prezzario-speed: %s\n", e.what());
        return 1;
    }
    return 0;
}
