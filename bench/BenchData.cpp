#include "bench/BenchData.h"

#include "tools/build/Builder.h"
#include "tools/build/demo/DemoData.h"
#include "tools/build/writer/PriceListWriter.h"
#include "core/Database.h"
#include "core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

namespace benchdata {

namespace {

// A list of an older builder lacks the newest table, or does not open with today's keying.
bool isCurrent(const QString& list)
{
    if (!QFile::exists(list))
        return false;
    try {
        const core::Database db = core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
        return !db.OpenRecordset(QStringLiteral("select name from sqlite_master where name = 'subarticoli'")).Eof();
    } catch (const core::DbError&) {
        return false;
    }
}

double nowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The section's entry as the search window's box shows it: "05 - Impianti".
QString sectionEntry(const core::PriceList& list, const QString& code)
{
    const QList<core::Section> sections = list.sections();
    for (const core::Section& section : sections) {
        if (code.isEmpty() || section.code == code)
            return section.code + QStringLiteral(" - ") + section.name.toString();
    }
    throw std::runtime_error("no section " + code.toStdString());
}

// A request of one section, as the window makes it once the section is picked.
core::SearchRequest inSection(const core::PriceList& list, core::SearchMode mode, const QString& code)
{
    core::SearchRequest request;
    request.mode = mode;
    request.sectionText = sectionEntry(list, code.left(2));
    request.codePrefix = code.left(2) + u'.';
    return request;
}

// "05.C03.A02.030" as the window's boxes hold it: chapter, article, subarticle.
core::CodeParts codeParts(const QString& code)
{
    const QStringList parts = code.split(u'.');
    return {parts.value(1), parts.value(2), parts.value(3)};
}

} // namespace

QString path(const QString& name)
{
    QDir().mkpath(QStringLiteral(PREZZARIO_BENCH_DATA));
    return QDir(QStringLiteral(PREZZARIO_BENCH_DATA)).filePath(name);
}

QString demoList(qint64 rows)
{
    const QString list = path(QStringLiteral("Prezzario-%1.mdb").arg(rows));
    if (isCurrent(list))
        return list;
    for (const char* derived : {"Prezzario-%1-plain.db", "search-%1.csv", "subarticolo-%1.csv", "trova-%1.csv"})
        QFile::remove(path(QString::fromLatin1(derived).arg(rows)));
    QFile::remove(list);
    std::fprintf(stderr, "building %lld-row demo list...\n", static_cast<long long>(rows));
    builder::buildDemo(builder::DemoOptions{rows, 2021}, list);
    return list;
}

QString nextEdition(qint64 rows)
{
    const QString older = demoList(rows);
    const QString list = path(QStringLiteral("Prezzario-%1-2022.mdb").arg(rows));
    if (isCurrent(list) && QFileInfo(list).lastModified() >= QFileInfo(older).lastModified())
        return list;
    std::fprintf(stderr, "building the next edition of the %lld-row demo list...\n", static_cast<long long>(rows));
    QFile::remove(list);
    builder::PriceListWriter writer(list);
    qint64 sequenza = 0;
    builder::demo::generateRows(builder::DemoOptions{rows, 2021}, [&](const builder::PriceRow& given) {
        builder::PriceRow row = given;
        // A fixed spread of the row's number, so that the same rows change in every run.
        const quint64 mix = quint64(row.sequenza) * 0x9E3779B97F4A7C15ULL >> 32;
        if (mix % 50 == 0)
            return; // removed
        if (mix % 3 == 0 && row.prezzoLordo)
            row.prezzoLordo = std::round(*row.prezzoLordo * (95 + double(mix % 21)) + 0.0) / 100;
        const auto recode = [&row](int step) {
            // The demo's subarticle codes are multiples of ten: 5 or 3 more is a code no item has.
            row.codiceSubarticolo = QStringLiteral("%1").arg(row.codiceSubarticolo.toInt() + step, 3, 10, QLatin1Char('0'));
            row.codiceTotale = row.codiceTotale.left(row.codiceTotale.size() - 3) + row.codiceSubarticolo;
        };
        if (mix % 40 == 1)
            recode(5);
        row.sequenza = ++sequenza;
        writer.addRow(row);
        if (mix % 50 == 2) {
            recode(3);
            row.sequenza = ++sequenza;
            row.subarticolo += QStringLiteral(", in nuova versione");
            writer.addRow(row);
        }
    });
    builder::demo::writeReferenceTexts(writer);
    writer.setYear(2022);
    writer.commit();
    return list;
}

ReadFloor readCodesTextsUnitsPrices(const QString& older, const QString& newer)
{
    ReadFloor floor;
    const double start = nowMs();
    for (const QString& list : {older, newer}) {
        const core::Database db = core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
        std::size_t touched = 0;
        for (core::Recordset rs = db.OpenRecordset(QStringLiteral(
                 "select codice_totale, articolo, subarticolo, simbolo, prezzo_lordo from prezzario"));
             !rs.Eof(); rs.MoveNext()) {
            for (int i = 0; i < 5; ++i)
                touched += std::size_t(rs.Utf8(i).size());
            ++floor.rows;
        }
        if (touched == 0)
            throw std::runtime_error("the list gave no text");
    }
    floor.ms = nowMs() - start;
    return floor;
}

const core::PriceList& openList(qint64 rows)
{
    static std::map<qint64, core::PriceList> open;
    auto it = open.find(rows);
    if (it == open.end())
        it = open.emplace(rows, core::PriceList::open(demoList(rows))).first;
    return it->second;
}

namespace {

// Columns of the view, as CSV in list order, written once into 'name'.
QString columnsCsv(qint64 rows, const char* name, const char* columns)
{
    const QString list = demoList(rows); // first: a list built again takes its CSV with it
    const QString csv = path(QString::fromLatin1(name).arg(rows));
    if (QFile::exists(csv))
        return csv;
    const QString part = csv + QStringLiteral(".part");
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the CSV");
    const core::Database db = core::Database::OpenDatabase(list, QStringLiteral(";pwd=") + core::kDbPassword);
    QByteArray line;
    for (core::Recordset rs = db.OpenRecordset(
             QStringLiteral("select %1 from prezzario order by sequenza").arg(QString::fromLatin1(columns)));
         !rs.Eof(); rs.MoveNext()) {
        line.clear();
        for (int i = 0; i < rs.FieldCount(); ++i)
            line += (i ? ",\"" : "\"") + rs.Utf8(i).toByteArray().replace('"', "\"\"") + '"';
        line += '\n';
        file.write(line);
    }
    file.close();
    if (!QFile::rename(part, csv))
        throw std::runtime_error("cannot move the CSV into place");
    return csv;
}

} // namespace

QString searchedColumns(qint64 rows)
{
    return columnsCsv(rows, "search-%1.csv", "capitolo,articolo,subarticolo");
}

QString findSearchedColumns(qint64 rows)
{
    return columnsCsv(rows, "trova-%1.csv", "sezione,capitolo,articolo,subarticolo,codice_totale");
}

double rgCountMs(const QString& file, const char* word)
{
    std::string program = "/usr/bin/rg";
    std::string option = "-ci";
    std::string pattern = word;
    std::string target = QFile::encodeName(file).toStdString();
    char* argv[] = {program.data(), option.data(), pattern.data(), target.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const double start = nowMs();
    pid_t child = 0;
    const int rc = posix_spawn(&child, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(child, &status, 0);
    const double elapsed = nowMs() - start;
    // rg says 1 when nothing matched; 2 is a failure.
    return WIFEXITED(status) && WEXITSTATUS(status) < 2 ? elapsed : -1;
}

core::SearchRequest textSearch(const core::PriceList& list, const QString& word, core::SearchLevels levels,
                               const QString& section)
{
    core::SearchRequest request;
    request.mode = core::SearchMode::Text;
    request.sectionText = sectionEntry(list, section);
    // The whole list is the box's first entry.
    request.wholeList = section.isEmpty();
    request.codePrefix = request.sectionText.left(2) + u'.';
    request.text = word;
    request.levels = levels;
    return request;
}

MiddleCodes middleCodes(const core::PriceList& list)
{
    const auto middle = [](const auto& items, const char* what) {
        if (items.isEmpty())
            throw std::runtime_error(std::string("no ") + what + " in the list");
        return items[items.size() / 2];
    };
    MiddleCodes codes;
    codes.section = middle(list.sections(), "section").code;
    codes.chapter = codes.section + u'.' + middle(list.chapters(codes.section).chapters, "chapter").code;
    codes.article = codes.chapter + u'.' + middle(list.articles(codes.chapter).articles, "article").code;
    codes.subarticle =
        middle(list.subarticles(codes.article, core::SubarticleOrder::ByCode).subarticles, "subarticle").code;
    return codes;
}

core::SearchRequest articleSearch(const core::PriceList& list, const QString& articleCode)
{
    core::SearchRequest request = inSection(list, core::SearchMode::Article, articleCode);
    request.code = codeParts(articleCode);
    return request;
}

core::SearchRequest subarticleSearch(const core::PriceList& list, const QString& subarticleCode)
{
    core::SearchRequest request = inSection(list, core::SearchMode::Subarticle, subarticleCode);
    request.code = codeParts(subarticleCode);
    return request;
}

core::SearchRequest rangeSearch(const core::PriceList& list, const QString& fromCode, const QString& toCode)
{
    core::SearchRequest request = inSection(list, core::SearchMode::Range, fromCode);
    request.from = codeParts(fromCode);
    request.to = codeParts(toCode);
    return request;
}

} // namespace benchdata
