// The price list's own questions (core::PriceList), as the consultation window and the start-up ask them, on
// demo lists of 60,000 and 1,000,000 subarticles. The lists are built once into the build folder and reused.
#include "bench/BenchData.h"
#include "core/PriceList.h"

#include <benchmark/benchmark.h>

namespace {

// Start-up: the file opened with the program's key, its relations checked, its year read.
void BM_OpenAndYear(benchmark::State& bench)
{
    const QString path = benchdata::demoList(bench.range(0));
    for (auto _ : bench) {
        const core::PriceList list = core::PriceList::open(path);
        benchmark::DoNotOptimize(list.year());
    }
}
BENCHMARK(BM_OpenAndYear)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_Sections(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    qsizetype found = 0;
    for (auto _ : bench)
        found = list.sections().size();
    bench.counters["sezioni"] = static_cast<double>(found);
}
BENCHMARK(BM_Sections)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_SectionChapters(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString section = benchdata::middleCodes(list).section;
    qsizetype found = 0;
    for (auto _ : bench)
        found = list.chapters(section).chapters.size();
    bench.counters["capitoli"] = static_cast<double>(found);
}
BENCHMARK(BM_SectionChapters)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ChapterArticles(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString chapter = benchdata::middleCodes(list).chapter;
    qsizetype found = 0;
    for (auto _ : bench)
        found = list.articles(chapter).articles.size();
    bench.counters["articoli"] = static_cast<double>(found);
}
BENCHMARK(BM_ChapterArticles)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ArticleSubarticles(benchmark::State& bench, core::SubarticleOrder order)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString article = benchdata::middleCodes(list).article;
    qsizetype found = 0;
    for (auto _ : bench)
        found = list.subarticles(article, order).subarticles.size();
    bench.counters["subarticoli"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(BM_ArticleSubarticles, by_code, core::SubarticleOrder::ByCode)
    ->Arg(60000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ArticleSubarticles, by_list_order, core::SubarticleOrder::ByListOrder)
    ->Arg(60000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

void BM_Row(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString code = benchdata::middleCodes(list).subarticle;
    for (auto _ : bench)
        benchmark::DoNotOptimize(list.row(code));
}
BENCHMARK(BM_Row)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// What the report reads for each chapter it prints.
void BM_RowsUnderChapter(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString chapter = benchdata::middleCodes(list).chapter;
    qsizetype found = 0;
    for (auto _ : bench)
        found = list.rowsUnder(chapter, core::PriceList::Level::Chapter).size();
    bench.counters["righe"] = static_cast<double>(found);
}
BENCHMARK(BM_RowsUnderChapter)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_SectionNote(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString section = benchdata::middleCodes(list).section;
    for (auto _ : bench)
        benchmark::DoNotOptimize(list.sectionNote(section));
}
BENCHMARK(BM_SectionNote)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
