// The four searches of the library (core::runSearch) and the drill-down between the result lists, on demo
// lists of 60,000 and 1,000,000 subarticles, each run on a list kept open as the program keeps it. Beside the
// text searches, their reference: `rg -ci WORD` over a CSV of the three searched columns of the same list.
#include "bench/BenchData.h"
#include "core/PriceList.h"
#include "core/Search.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

void countFound(benchmark::State& bench, const core::SearchResults& results)
{
    bench.counters["capitoli"] = static_cast<double>(results.chapters.size());
    bench.counters["articoli"] = static_cast<double>(results.articles.size());
    bench.counters["subarticoli"] = static_cast<double>(results.subarticles.size());
}

// Runs one request as the benchmark's iterations; a refused request is the benchmark's error.
void runRequest(benchmark::State& bench, const core::PriceList& list, const core::SearchRequest& request)
{
    core::SearchOutcome outcome = core::runSearch(list, request); // the pages it reads, decrypted once
    if (outcome.problem) {
        bench.SkipWithError(outcome.problem->message.toUtf8().constData());
        return;
    }
    for (auto _ : bench) {
        outcome = core::runSearch(list, request);
        benchmark::DoNotOptimize(outcome.results.subarticles.data());
    }
    countFound(bench, outcome.results);
}

constexpr core::SearchLevels kAllLevels{true, true, true};

// The whole list, three levels: what a user runs when unsure where a word is.
void BM_TextSearch(benchmark::State& bench, const char* word)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    runRequest(bench, list, benchdata::textSearch(list, QString::fromUtf8(word), kAllLevels));
}
BENCHMARK_CAPTURE(BM_TextSearch, di, "di")->Arg(60000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextSearch, calcestruzzo, "calcestruzzo")->Arg(60000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The reference of the two above: rg counting the lines that hold the word, in a process of its own.
void BM_RgReference(benchmark::State& bench, const char* word)
{
    const QString csv = benchdata::searchedColumns(bench.range(0));
    if (benchdata::rgCountMs(csv, word) < 0) { // also reads the file into the system's cache
        bench.SkipWithError("rg did not run: install ripgrep");
        return;
    }
    for (auto _ : bench)
        benchmark::DoNotOptimize(benchdata::rgCountMs(csv, word));
}
BENCHMARK_CAPTURE(BM_RgReference, di, "di")->Arg(60000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_RgReference, calcestruzzo, "calcestruzzo")
    ->Arg(60000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Each level alone, whole list: where the time of the three-level search goes.
void BM_TextSearchLevel(benchmark::State& bench, core::SearchLevels levels)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    runRequest(bench, list, benchdata::textSearch(list, QStringLiteral("di"), levels));
}
BENCHMARK_CAPTURE(BM_TextSearchLevel, capitoli_di, core::SearchLevels{true, false, false})
    ->Arg(60000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextSearchLevel, articoli_di, core::SearchLevels{false, true, false})
    ->Arg(60000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TextSearchLevel, subarticoli_di, core::SearchLevels{false, false, true})
    ->Arg(60000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// One section of the middle of the list, three levels.
void BM_TextSearchSection(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const benchdata::MiddleCodes codes = benchdata::middleCodes(list);
    runRequest(bench, list, benchdata::textSearch(list, QStringLiteral("di"), kAllLevels, codes.section));
}
BENCHMARK(BM_TextSearchSection)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_ArticleSearch(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    runRequest(bench, list, benchdata::articleSearch(list, benchdata::middleCodes(list).article));
}
BENCHMARK(BM_ArticleSearch)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_SubarticleSearch(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    runRequest(bench, list, benchdata::subarticleSearch(list, benchdata::middleCodes(list).subarticle));
}
BENCHMARK(BM_SubarticleSearch)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// From the first chapter of the middle section to its last: every row of the section.
void BM_RangeSearchChapters(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString section = benchdata::middleCodes(list).section;
    const QList<core::ListedChapter> chapters = list.chapters(section).chapters;
    runRequest(
        bench, list,
        benchdata::rangeSearch(list, section + u'.' + chapters.front().code, section + u'.' + chapters.back().code));
}
BENCHMARK(BM_RangeSearchChapters)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// From the first article of the middle chapter to its last.
void BM_RangeSearchArticles(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString chapter = benchdata::middleCodes(list).chapter;
    const QList<core::ListedArticle> articles = list.articles(chapter).articles;
    runRequest(
        bench, list,
        benchdata::rangeSearch(list, chapter + u'.' + articles.front().code, chapter + u'.' + articles.back().code));
}
BENCHMARK(BM_RangeSearchArticles)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Drill-down: a chapter of a chapter-only result lists its articles; a subarticle of a subarticle-only
// result shows its article.
void BM_ArticlesOfChapter(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString chapter = benchdata::middleCodes(list).chapter;
    qsizetype found = 0;
    for (auto _ : bench)
        found = core::articlesOfChapter(list, chapter).size();
    bench.counters["articoli"] = static_cast<double>(found);
}
BENCHMARK(BM_ArticlesOfChapter)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

void BM_ArticleOfSubarticle(benchmark::State& bench)
{
    const core::PriceList& list = benchdata::openList(bench.range(0));
    const QString subarticle = benchdata::middleCodes(list).subarticle;
    for (auto _ : bench)
        benchmark::DoNotOptimize(core::articleOfSubarticle(list, subarticle).size());
}
BENCHMARK(BM_ArticleOfSubarticle)->Arg(60000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace
