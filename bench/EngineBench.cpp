// Engine and list-control figures on demo price lists of 30,000 and 1,000,000 subarticles.
// The lists are built once into the build folder and reused by later runs.
#include "BenchData.h"
#include "Database.h"
#include "PriceList.h"
#include "ReportList.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

// The demo list of a given size, built on first use; also writes the subarticle column as CSV so that
// a plain text search (rg -ci) can be timed over the same text.
const core::Database& priceList(qint64 rows)
{
    static std::map<qint64, core::Database> open;
    auto it = open.find(rows);
    if (it != open.end())
        return it->second;

    const QString path = benchdata::demoList(rows);
    core::Database db = core::Database::OpenDatabase(path, QStringLiteral(";pwd=") + core::kDbPassword);

    const QString csv = benchdata::path(QStringLiteral("subarticolo-%1.csv").arg(rows));
    if (!QFile::exists(csv)) {
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        QTextStream out(&file);
        for (core::Recordset rs = db.OpenRecordset(QStringLiteral("select subarticolo from prezzario order by sequenza"));
             !rs.Eof(); rs.MoveNext())
            out << u'"' << rs.Fields(0).Text().replace(u'"', QStringLiteral("\"\"")) << QStringLiteral("\"\n");
    }
    return open.emplace(rows, std::move(db)).first->second;
}

// Runs a query and reads every column of every row, as a window filling its list does.
qint64 walk(const core::Database& db, const QString& sql)
{
    qint64 rows = 0;
    for (core::Recordset rs = db.OpenRecordset(sql); !rs.Eof(); rs.MoveNext()) {
        for (int i = 0; i < rs.FieldCount(); ++i)
            benchmark::DoNotOptimize(rs.Fields(i).Text());
        ++rows;
    }
    return rows;
}

void subarticleTextSearch(benchmark::State& state, const char* word)
{
    const core::Database& db = priceList(state.range(0));
    const QString sql = QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,incidenza_manodopera,"
                                       "somma_manodopera,seq_capitolo from prezzario where ucase(subarticolo) like '*") +
                        QString::fromUtf8(word) + QStringLiteral("*' order by sequenza");
    qint64 found = 0;
    for (auto _ : state)
        found = walk(db, sql);
    state.counters["found"] = static_cast<double>(found);
}

void BM_SubarticleTextSearch_Acqua(benchmark::State& state)
{
    subarticleTextSearch(state, "ACQUA");
}

void BM_SubarticleTextSearch_Di(benchmark::State& state)
{
    subarticleTextSearch(state, "DI");
}

// A chapter and an article from the middle of the list.
QString middleCode(const core::Database& db, int length)
{
    core::Recordset rs = db.OpenRecordset(
        QStringLiteral("select codice_totale from prezzario where sequenza = (select max(sequenza) / 2 from prezzario)"));
    return rs.Fields(0).Text().left(length);
}

void BM_SectionChapters(benchmark::State& state)
{
    const core::Database& db = priceList(state.range(0));
    const QString sql = QStringLiteral("select distinct codice_capitolo, capitolo,seq_capitolo,note_sezione from prezzario "
                                       "where codice_sezione ='") +
                        middleCode(db, 2) + QStringLiteral("' order by seq_capitolo");
    for (auto _ : state)
        benchmark::DoNotOptimize(walk(db, sql));
}

void BM_ChapterArticles(benchmark::State& state)
{
    const core::Database& db = priceList(state.range(0));
    const QString sql =
        QStringLiteral("select codice_articolo,articolo,note_capitolo from prezzario where mid(codice_totale,1,6) ='") +
        middleCode(db, 6) + u'\'';
    for (auto _ : state)
        benchmark::DoNotOptimize(walk(db, sql));
}

void BM_ArticleSubarticles(benchmark::State& state)
{
    const core::Database& db = priceList(state.range(0));
    const QString sql = QStringLiteral("select codice_totale,subarticolo,simbolo,prezzo_lordo,note_articolo,"
                                       "incidenza_manodopera,somma_manodopera from prezzario where "
                                       "mid(codice_totale,1,10) ='") +
                        middleCode(db, 10) + u'\'';
    for (auto _ : state)
        benchmark::DoNotOptimize(walk(db, sql));
}

void BM_SectionList(benchmark::State& state)
{
    const core::Database& db = priceList(state.range(0));
    const QString sql = QStringLiteral("select distinct(codice_sezione),sezione from prezzario order by codice_sezione");
    for (auto _ : state)
        benchmark::DoNotOptimize(walk(db, sql));
}

void BM_ReportListFill(benchmark::State& state)
{
    ui::ReportList list;
    list.setColumns({{QStringLiteral("Codice Subarticolo"), 1600}, {QStringLiteral("Subarticolo"), 8100},
                     {QStringLiteral("Un. misura"), 1000}, {QStringLiteral("Prezzo"), 800}});
    list.show();
    const QString text = QStringLiteral("Calcestruzzo per strutture di fondazione, classe C25/30");
    for (auto _ : state) {
        for (qint64 i = 0; i < state.range(0); ++i) {
            const QString key = ui::ReportList::keyFor(i);
            list.Add(key, QStringLiteral("01.A01.A01.010"));
            list.SetSubItem(key, 1, text);
            list.SetSubItem(key, 2, QStringLiteral("m³"));
            list.SetSubItem(key, 3, QStringLiteral("123,45"));
        }
        benchmark::DoNotOptimize(list.SelectedKey()); // the view takes the rows here
        state.PauseTiming();
        list.RemoveAll();
        benchmark::DoNotOptimize(list.HasSelection());
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_SubarticleTextSearch_Acqua)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SubarticleTextSearch_Di)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SectionList)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SectionChapters)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChapterArticles)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArticleSubarticles)->Arg(30000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReportListFill)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
